#include "measure/iso_media_header.h"
#include "measure/libav_module.h"
#include "measure/media_probe.h"
#include "support/media_corpus.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace quillmark {
namespace {

using test::contents;
using test::mediaCorpus;

// Reads from memory, and fails the test on any read outside the file.
std::optional<MediaProbe> readHeader(const std::string& bytes)
{
    const auto size = std::int64_t(bytes.size());
    return readIsoMediaHeader(size, [&](std::int64_t offset, std::span<std::uint8_t> into) {
        EXPECT_TRUE(offset >= 0 && offset + std::int64_t(into.size()) <= size) << offset;
        const std::int64_t count = std::clamp<std::int64_t>(size - offset, 0, into.size());
        std::memcpy(into.data(), bytes.data() + offset, std::size_t(count));
        return count;
    });
}

std::uint32_t sizeAt(const std::string& bytes, std::size_t offset)
{
    std::uint32_t size = 0;
    for (int i = 0; i < 4; ++i)
        size = size << 8 | std::uint8_t(bytes[offset + i]);
    return size;
}

std::string bigEndian(std::uint64_t value, int bytes)
{
    std::string text;
    for (int i = bytes - 1; i >= 0; --i)
        text += char(value >> (8 * i));
    return text;
}

// Where the box at a path of types starts, looking only at 32-bit sizes.
std::size_t boxOffset(const std::string& bytes, std::initializer_list<const char*> path)
{
    std::size_t offset = 0;
    std::size_t end = bytes.size();
    for (const char* const& type : path) {
        while (bytes.compare(offset + 4, 4, type) != 0)
            offset += sizeAt(bytes, offset);
        end = offset + sizeAt(bytes, offset);
        if (&type != path.end() - 1)
            offset += 8;
    }
    EXPECT_LE(end, bytes.size());
    return offset;
}

void growBox(std::string& bytes, std::size_t offset, std::uint32_t by)
{
    bytes.replace(offset, 4, bigEndian(sizeAt(bytes, offset) + by, 4));
}

// The 8-byte "free" before the media data and its 32-bit header become one 16-byte header
// with a 64-bit size, as a writer does when the data outgrows 4 GiB: nothing moves.
std::string withLargeSize(std::string bytes)
{
    const std::size_t mdat = boxOffset(bytes, {"mdat"});
    EXPECT_EQ(bytes.compare(mdat - 8, 8,
                            std::string("\0\0\0\x08"
                                        "free",
                                        8)),
              0);
    bytes.replace(mdat - 8, 16,
                  bigEndian(1, 4) + "mdat" + bigEndian(sizeAt(bytes, mdat) + 8ULL, 8));
    return bytes;
}

// A movie header of version 1, with 64-bit times; the index is at the end, so nothing moves.
std::string withMovieHeaderVersion1(std::string bytes)
{
    const std::size_t mvhd = boxOffset(bytes, {"moov", "mvhd"});
    const std::string times = bytes.substr(mvhd + 12, 8);
    const std::string timescale = bytes.substr(mvhd + 20, 4);
    const std::string duration = bytes.substr(mvhd + 24, 4);
    bytes.replace(mvhd + 8, 20,
                  std::string("\x01\0\0\0", 4) + std::string(4, '\0') + times.substr(0, 4) +
                      std::string(4, '\0') + times.substr(4) + timescale + std::string(4, '\0') +
                      duration);
    growBox(bytes, mvhd, 12);
    growBox(bytes, boxOffset(bytes, {"moov"}), 12);
    return bytes;
}

// Sample descriptions of a codec no library knows.
std::string withUnknownCodecs(std::string bytes)
{
    for (const char* code : {"mp4v", "mp4a"})
        bytes.replace(bytes.find(code), 4, "zzzz");
    return bytes;
}

struct Case {
    const char* name;
    std::string bytes;
    bool answered;
};

// Every case is either answered exactly as libavformat answers it, to the last bit of the
// seconds, or left to libavformat.
TEST(IsoMediaHeaderTest, AnswersAsLibavformatDoesOrDeclines)
{
    const auto corpus = [](const char* name) { return contents(mediaCorpus() / name); };
    const std::string atEnd = corpus("index-at-end.mp4");
    const std::string atStart = corpus("index-at-start.mp4");
    const std::size_t mediaData = boxOffset(atStart, {"mdat"});
    std::vector<Case> cases{
        {"index-at-end.mp4", atEnd, true},
        {"index-at-start.mp4", atStart, true},
        {"minute.mov", corpus("minute.mov"), true},
        {"h264.mov", corpus("h264.mov"), true},
        {"clip.f4v", corpus("clip.f4v"), true},
        {"clip.3gp", corpus("clip.3gp"), true},
        {"edit-list.mp4", corpus("edit-list.mp4"), true},
        {"audio-only.mp4", corpus("audio-only.mp4"), true},
        {"audio.m4a", corpus("audio.m4a"), true},
        {"64-bit size", withLargeSize(atEnd), true},
        {"movie header version 1", withMovieHeaderVersion1(atEnd), true},
        {"cut in the media data", atStart.substr(0, mediaData + 2000), true},
        {"cut in the index", atStart.substr(0, mediaData / 2), false},
        {"index cut off the end", corpus("truncated.mp4"), false},
        {"fragmented.mp4", corpus("fragmented.mp4"), false},
        {"chapters.mp4", corpus("chapters.mp4"), false},
        {"cover-only.mp4", corpus("cover-only.mp4"), false},
        {"no decoder", withUnknownCodecs(atEnd), false},
        {"clip.mkv", corpus("clip.mkv"), false},
        {"clip.avi", corpus("clip.avi"), false},
        {"clip.flv", corpus("clip.flv"), false},
        {"text.mp4", corpus("text.mp4"), false},
        {"zero.mkv", corpus("zero.mkv"), false},
    };
    const test::TempTree tree;
    for (const Case& item : cases) {
        SCOPED_TRACE(item.name);
        const std::optional<MediaProbe> header = readHeader(item.bytes);
        ASSERT_EQ(header.has_value(), item.answered);
        if (!header)
            continue;
        const std::optional<MediaProbe> libav = probeWithLibav(tree.file("file", item.bytes));
        ASSERT_TRUE(libav.has_value());
        EXPECT_TRUE(header->playable);
        EXPECT_EQ(header->playable, libav->playable);
        EXPECT_EQ(header->seconds, libav->seconds);
    }
}

// The codes taken as playable without asking libavcodec are playable by its answer too.
TEST(IsoMediaHeaderTest, CodesTakenAsPlayableAreSoForLibavcodec)
{
    const LibavModule* libav = libavModule();
    ASSERT_NE(libav, nullptr);
    for (const std::uint32_t handler : {0x76696465u, 0x736f756eu}) { // "vide", "soun"
        for (const std::uint32_t code : codesPlayableEverywhere(handler))
            EXPECT_TRUE(libav->movCodecPlays(handler, code)) << std::hex << code;
    }
    EXPECT_FALSE(libav->movCodecPlays(0x76696465u, 0x706e6720u)) << "png is a still image";
}

// Sizes that lie: each is declined, with no read outside the file and no endless walk.
TEST(IsoMediaHeaderTest, DeclinesBoxesThatDoNotFit)
{
    const std::string ftyp = bigEndian(16, 4) + "ftypisom" + bigEndian(0, 4);
    const auto box = [](const char* type, const std::string& payload) {
        return bigEndian(8 + payload.size(), 4) + type + payload;
    };
    for (const std::string& bytes :
         {ftyp + bigEndian(1, 4) + "moov" + bigEndian(~0ULL >> 1, 8),
          ftyp + bigEndian(4, 4) + "moov",
          ftyp + box("moov", bigEndian(0, 4) + "trak" + std::string(64, '\0')),
          ftyp + box("moov", bigEndian(4000, 4) + "trak"),
          ftyp + box("moov", std::string(100000, '\0')),
          ftyp + box("moov", std::string(3, '\0')) + bigEndian(20, 4) + "mdat"}) {
        EXPECT_FALSE(readHeader(bytes).has_value());
    }
}

} // namespace
} // namespace quillmark
