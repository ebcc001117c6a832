// The header readers against libavformat: each file is either answered exactly as libavformat
// answers it, to the last bit of the seconds, or left to libavformat. Which one is fixed per file.
// Every file of the corpus goes through them in MediaProbeTest; here, a few of them and the
// variants the corpus lacks.
#include "measure/asf_header.h"
#include "measure/avi_header.h"
#include "measure/crc32.h"
#include "measure/flv_header.h"
#include "measure/header_readers.h"
#include "measure/iso_media_header.h"
#include "measure/libav_module.h"
#include "measure/matroska_header.h"
#include "measure/media_probe.h"
#include "measure/mpegps_header.h"
#include "measure/mpegts_header.h"
#include "measure/ogg_header.h"
#include "support/media_corpus.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace quillmark {
namespace {

using test::contents;
using test::mediaCorpus;

// Reads from memory, and fails the test on any read outside the file.
std::optional<MediaProbe> readHeader(HeaderReader reader, const std::string& bytes)
{
    const auto size = std::int64_t(bytes.size());
    const ReadAt readAt = [&](std::int64_t offset, std::span<std::uint8_t> into) {
        EXPECT_TRUE(offset >= 0 && offset + std::int64_t(into.size()) <= size) << offset;
        const std::int64_t count = std::clamp<std::int64_t>(size - offset, 0, into.size());
        std::memcpy(into.data(), bytes.data() + offset, std::size_t(count));
        return count;
    };
    HeaderWindow window(size, readAt);
    return reader(window);
}

std::string corpus(const char* name)
{
    return contents(mediaCorpus() / name);
}

// The same bytes with one piece replaced by another of the same length.
std::string replaced(std::string bytes, const std::string& from, const std::string& to)
{
    const std::size_t at = bytes.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return bytes.replace(at, from.size(), to);
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

std::string littleEndian(std::uint64_t value, int bytes)
{
    std::string text;
    for (int i = 0; i < bytes; ++i)
        text += char(value >> (8 * i));
    return text;
}

std::uint32_t little32At(const std::string& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | std::uint8_t(bytes[offset + std::size_t(i)]);
    return value;
}

// The same bytes with a little-endian field of the given width rewritten.
std::string withLittleField(std::string bytes, std::size_t at, std::uint64_t value, int width)
{
    return bytes.replace(at, std::size_t(width), littleEndian(value, width));
}

// Where the box at a path of types starts, looking only at 32-bit sizes.
std::size_t boxOffset(const std::string& bytes, const std::vector<std::string>& path)
{
    std::size_t offset = 0;
    std::size_t end = bytes.size();
    for (std::size_t level = 0; level < path.size(); ++level) {
        while (bytes.compare(offset + 4, 4, path[level]) != 0)
            offset += sizeAt(bytes, offset);
        end = offset + sizeAt(bytes, offset);
        if (level + 1 < path.size())
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
    EXPECT_EQ(bytes.substr(mdat - 8, 8), std::string("\0\0\0\bfree", 8));
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

// The box at the end of the path, inserted at the end of another, whose every box on the way
// grows by it; nothing after the movie moves when the index is at the end.
std::string insertedAtEnd(std::string bytes, const std::vector<std::string>& into,
                          const std::string& box)
{
    std::vector<std::size_t> way;
    for (auto end = into.begin() + 1; end <= into.end(); ++end)
        way.push_back(boxOffset(bytes, std::vector<std::string>(into.begin(), end)));
    const std::size_t at = way.back() + sizeAt(bytes, way.back());
    for (const std::size_t offset : way)
        growBox(bytes, offset, std::uint32_t(box.size()));
    return bytes.insert(at, box);
}

std::string boxAt(const std::string& bytes, const std::vector<std::string>& path)
{
    const std::size_t offset = boxOffset(bytes, path);
    return bytes.substr(offset, sizeAt(bytes, offset));
}

// A track's decoder configuration, one byte of it changed: its object type, or the tag or length
// of its specific configuration. The track is AAC audio, or MPEG-4 video where asked.
std::string withDescriptor(std::string bytes, std::size_t fromObjectType, char value,
                           bool video = false)
{
    const std::size_t esds = bytes.find("esds", bytes.find(video ? "mp4v" : "mp4a"));
    const std::size_t objectType = bytes.find(video ? "\x20\x11" : "\x40\x15", esds);
    EXPECT_NE(objectType, std::string::npos);
    bytes[objectType + fromObjectType] = value;
    return bytes;
}

// An EBML element of a Matroska file: where it starts, where its size is written and in how
// many bytes, where its content starts and ends.
struct Ebml {
    std::size_t start, size, sizeLength, payload, end;
};

Ebml ebmlAt(const std::string& bytes, std::size_t at)
{
    auto length = [&bytes](std::size_t offset) {
        return std::size_t(std::countl_zero(std::uint8_t(bytes[offset])) + 1);
    };
    Ebml element{at, at + length(at), 0, 0, 0};
    element.sizeLength = length(element.size);
    std::uint64_t value = std::uint8_t(bytes[element.size]) & (0xFF >> element.sizeLength);
    for (std::size_t i = 1; i < element.sizeLength; ++i)
        value = value << 8 | std::uint8_t(bytes[element.size + i]);
    element.payload = element.size + element.sizeLength;
    element.end = element.payload + std::size_t(value);
    return element;
}

// The element at the end of the path of IDs (written as in the file) gets another at its end;
// every element on the way grows by it.
std::string insertedInElement(std::string bytes, const std::vector<std::string>& path,
                              const std::string& element)
{
    std::vector<Ebml> way;
    std::size_t at = 0;
    std::size_t end = bytes.size();
    for (const std::string& id : path) {
        while (bytes.compare(at, id.size(), id) != 0)
            at = ebmlAt(bytes, at).end;
        way.push_back(ebmlAt(bytes, at));
        at = way.back().payload;
        end = way.back().end;
    }
    for (const Ebml& outer : way) {
        const std::uint64_t grown = outer.end - outer.payload + element.size();
        std::string size = bigEndian(grown, int(outer.sizeLength));
        size[0] = char(std::uint8_t(size[0]) | (0x80 >> (outer.sizeLength - 1)));
        bytes.replace(outer.size, outer.sizeLength, size);
    }
    return bytes.insert(end, element);
}

struct Case {
    const char* name;
    std::string bytes;
    bool answered;
};

void expectAnsweredAsLibavOrDeclined(HeaderReader reader, const std::vector<Case>& cases)
{
    const test::TempTree tree;
    for (const Case& item : cases) {
        SCOPED_TRACE(item.name);
        const std::optional<MediaProbe> header = readHeader(reader, item.bytes);
        ASSERT_EQ(header.has_value(), item.answered);
        if (!header)
            continue;
        const Expected<MediaProbe> libav = probeWithLibav(tree.file("file", item.bytes));
        ASSERT_TRUE(libav.hasValue());
        EXPECT_TRUE(header->playable && libav->playable);
        EXPECT_EQ(header->seconds, libav->seconds);
    }
}

TEST(HeaderReadersTest, MovieHeaders)
{
    const std::string atEnd = corpus("index-at-end.mp4");
    const std::string atStart = corpus("index-at-start.mp4");
    const std::size_t mediaData = boxOffset(atStart, {"mdat"});
    expectAnsweredAsLibavOrDeclined(
        readIsoMediaHeader,
        {
            {"index-at-end.mp4", atEnd, true},
            {"index-at-start.mp4", atStart, true},
            {"edit-list.mp4", corpus("edit-list.mp4"), true},
            {"64-bit size", withLargeSize(atEnd), true},
            {"movie header version 1", withMovieHeaderVersion1(atEnd), true},
            {"cut in the media data", atStart.substr(0, mediaData + 2000), true},
            {"cut in the index", atStart.substr(0, mediaData / 2), false},
            {"fragmented.mp4", corpus("fragmented.mp4"), false},
            {"no decoder", replaced(replaced(atEnd, "mp4v", "zzzz"), "mp4a", "zzzz"), false},
            {"clip.mkv", corpus("clip.mkv"), false},
        });
}

// What libavformat refuses, or takes for something not playable, in the boxes the reader reads:
// a track described twice, a handler that makes a track a subtitle's, an audio descriptor that
// names no decoder or gives AAC no configuration, boxes nested too deep.
TEST(HeaderReadersTest, MovieHeadersLibavformatRefuses)
{
    const std::string atEnd = corpus("index-at-end.mp4");
    const std::string audio = corpus("audio-only.mp4");
    const std::string subtitles =
        std::string("\0\0\0\x21hdlr", 8) + std::string(8, '\0') + "subp" + std::string(13, '\0');
    // Seven "wave" boxes in the audio sample entry, one inside the other; six.
    auto nested = [&audio](int count) {
        std::string waves = std::string("\0\0\0\x08wave", 8);
        for (int level = 1; level < count; ++level)
            waves = bigEndian(waves.size() + 8, 4) + "wave" + waves;
        const std::vector<std::string> stsd{"moov", "trak", "mdia", "minf", "stbl", "stsd"};
        const std::size_t entry = boxOffset(audio, stsd) + 16;
        std::string bytes = audio;
        bytes.insert(entry + sizeAt(audio, entry), waves);
        for (auto end = stsd.begin() + 1; end <= stsd.end(); ++end)
            growBox(bytes, boxOffset(bytes, std::vector<std::string>(stsd.begin(), end)),
                    std::uint32_t(waves.size()));
        growBox(bytes, entry, std::uint32_t(waves.size()));
        return bytes;
    };
    expectAnsweredAsLibavOrDeclined(
        readIsoMediaHeader,
        {
            {"two sample descriptions",
             insertedAtEnd(atEnd, {"moov", "trak", "mdia", "minf", "stbl"},
                           boxAt(atEnd, {"moov", "trak", "mdia", "minf", "stbl", "stsd"})),
             false},
            {"two sample tables",
             insertedAtEnd(atEnd, {"moov", "trak", "mdia", "minf"},
                           boxAt(atEnd, {"moov", "trak", "mdia", "minf", "stbl"})),
             false},
            {"two media",
             insertedAtEnd(atEnd, {"moov", "trak"}, boxAt(atEnd, {"moov", "trak", "mdia"})), false},
            {"a media header after the tracks",
             insertedAtEnd(atEnd, {"moov"}, boxAt(atEnd, {"moov", "trak", "mdia", "mdhd"})), false},
            {"a subtitle handler last",
             insertedAtEnd(audio, {"moov", "trak", "mdia", "minf"}, subtitles), false},
            {"audio of the systems type", withDescriptor(audio, 0, '\x01'), false},
            {"AAC without its configuration", withDescriptor(audio, 13, '\x7F'), false},
            {"AAC configuration longer than the file", withDescriptor(audio, 15, '\xF4'), false},
            {"boxes nested too deep", nested(7), false},
            {"boxes nested as deep as may be", nested(6), true},
            {"audio-only.mp4", audio, true},
        });
}

TEST(HeaderReadersTest, MatroskaHeaders)
{
    const std::string mkv = corpus("clip.mkv");
    const std::string duration("\x44\x89\x88", 3);        // Duration, 8 bytes
    const std::string readVersion("\x42\x85\x81\x02", 4); // DocTypeReadVersion 2
    expectAnsweredAsLibavOrDeclined(
        readMatroskaHeader,
        {
            {"clip.mkv", mkv, true},
            {"clip.webm", corpus("clip.webm"), true},
            {"an unknown audio codec beside a known video one", replaced(mkv, "A_AAC", "A_ZZZ"),
             true},
            {"no codec known", replaced(replaced(mkv, "A_AAC", "A_ZZZ"), "V_MPEG4", "V_ZZZZ4"),
             false},
            {"no duration", replaced(mkv, duration, std::string("\xEC\x88", 2) + '\0'), false},
            {"a newer reader needed",
             replaced(mkv, readVersion, std::string("\x42\x85\x81\x05", 4)), false},
            {"cut in the header", mkv.substr(0, 300), false},
            {"an MP4", corpus("index-at-end.mp4"), false},
        });
}

// What libavformat refuses in the elements the reader reads: a timestamp scale of 32 bits or
// more, a video projection it finds wrong.
TEST(HeaderReadersTest, MatroskaHeadersLibavformatRefuses)
{
    const std::string mkv = corpus("clip.mkv");
    const std::string segment("\x18\x53\x80\x67", 4);
    const std::string info("\x15\x49\xA9\x66", 4);
    const std::string tracks("\x16\x54\xAE\x6B", 4);
    // TimestampScale, five bytes; Projection holding ProjectionType 2 (equirectangular).
    const std::string bigScale = std::string("\x2A\xD7\xB1\x85\x01", 5) + std::string(4, '\0');
    const std::string projection("\x76\x70\x84\x76\x71\x81\x02", 7);
    // A track number (and a pixel width) nine bytes long: libavformat drops the track list.
    const std::string longNumber = std::string("\xD7\x89", 2) + std::string(8, '\0') + "\x01";
    const std::string longWidth = std::string("\xB0\x89", 2) + std::string(8, '\0') + "\x40";
    expectAnsweredAsLibavOrDeclined(
        readMatroskaHeader,
        {
            {"a timestamp scale of 2^32", insertedInElement(mkv, {segment, info}, bigScale), false},
            {"an equirectangular projection without its data",
             insertedInElement(mkv, {segment, tracks, "\xAE", "\xE0"}, projection), false},
            {"a nine-byte track number",
             insertedInElement(mkv, {segment, tracks, "\xAE"}, longNumber), false},
            {"a nine-byte pixel width",
             insertedInElement(mkv, {segment, tracks, "\xAE", "\xE0"}, longWidth), false},
            {"a colour holding an element with no valid ID",
             insertedInElement(mkv, {segment, tracks, "\xAE", "\xE0"},
                               std::string("\x55\xB0\x84\x00\x00\x01\x02", 7)),
             false},
        });
}

// FLV: the stated duration, as libavformat keeps it, when the first frame plays; anything else
// goes to libavformat.
TEST(HeaderReadersTest, FlvHeadersAsLibavformatReadsThem)
{
    const std::string flv = corpus("clip.flv");
    const auto withDuration = [&flv](double seconds) {
        std::string bytes = flv;
        const std::size_t at = bytes.find("duration") + 9;
        const auto bits = std::bit_cast<std::uint64_t>(seconds);
        for (int i = 0; i < 8; ++i)
            bytes[at + std::size_t(i)] = char(bits >> (56 - 8 * i));
        return bytes;
    };
    // The first frame is the audio tag after the script: its codec is the flags' high nibble.
    const std::size_t firstFrame = 13 + 11 + (sizeAt(flv, 13) & 0xFFFFFF) + 4 + 11;
    std::string unknownCodec = flv;
    unknownCodec[firstFrame] = char(0x9F);
    std::string sizeDisagrees = flv;
    sizeDisagrees[firstFrame - 12] ^= 1;
    expectAnsweredAsLibavOrDeclined(
        readFlvHeader,
        {
            {"clip.flv", flv, true},
            {"an hour long", withDuration(3723.456789), true},
            {"two durations: the last counts", replaced(flv, "filesize", "duration"), true},
            {"no duration", replaced(flv, "duration", "duratio_"), false},
            {"a duration that is no number", withDuration(std::nan("")), false},
            {"a first frame of no known codec", unknownCodec, false},
            {"a tag size that disagrees", sizeDisagrees, false},
            {"cut in the script", flv.substr(0, 100), false},
        });
}

// AVI: the longest stream the stream headers state in frames, at its time base, as libavformat
// reads the header; anything else goes to libavformat.
TEST(HeaderReadersTest, AviHeadersAsLibavformatReadsThem)
{
    const std::string avi = corpus("clip.avi");
    const std::size_t video = avi.find("strh") + 8;
    const std::size_t audio = avi.find("strh", video) + 8;
    const auto withField = [&avi](std::size_t at, std::uint32_t value) {
        return withLittleField(avi, at, value, 4);
    };
    // Real movie data runs to megabytes: here a megabyte of padding at its end.
    const std::size_t movie = avi.find("movi") - 8;
    const std::uint32_t padding = 1 << 20;
    std::string largeMovie = withField(4, little32At(avi, 4) + padding + 8);
    largeMovie =
        withLittleField(largeMovie, movie + 4, little32At(avi, movie + 4) + padding + 8, 4);
    largeMovie.insert(movie + 8 + little32At(avi, movie + 4),
                      "JUNK" + littleEndian(padding, 4) + std::string(padding, '\0'));
    // The OpenDML header other writers add, in the space FFmpeg reserves for it, without an
    // OpenDML index: libavformat skips its frame count.
    const std::size_t reserved = avi.find(std::string("JUNK\x04\x01\x00\x00", 8));
    std::string openDml = avi;
    openDml.replace(reserved, 8 + 260,
                    "LIST" + littleEndian(260, 4) + "odmldmlh" + littleEndian(248, 4) +
                        littleEndian(99999, 4) + std::string(244, '\0'));
    // Audio of no fixed sample size has its length in frames too: here the longer stream.
    std::string longerAudio = withField(audio + 44, 0);
    longerAudio = longerAudio.replace(audio + 32, 4, std::string("\x80\x38\x01\x00", 4));
    expectAnsweredAsLibavOrDeclined(
        readAviHeader,
        {
            {"clip.avi", avi, true},
            {"audio stated in frames", longerAudio, true},
            {"movie data over a megabyte", largeMovie, true},
            {"an OpenDML header without its index", openDml, true},
            {"a video codec no decoder takes, beside PCM", replaced(avi, "FMP4", "ZZZZ"), true},
            {"a stream that starts late", withField(video + 28, 5), false},
            {"no time base", withField(video + 20, 0), false},
            {"cut short", avi.substr(0, avi.size() - 4000), false},
        });
}

// ASF: the play time less the preroll, plus the spread of the streams' first packets, as
// libavformat's short analysis finds them; anything else goes to libavformat.
TEST(HeaderReadersTest, AsfHeadersAsLibavformatReadsThem)
{
    const std::string wmv = corpus("clip.wmv");
    const std::size_t properties = wmv.find("\xA1\xDC\xAB\x8C") + 24;
    const std::size_t firstPayload = wmv.find("\x36\x26\xB2\x75") + 50 + 14;
    const std::size_t sequenceHeader = wmv.find("WMV2") + 24;
    const auto withField = [&wmv](std::size_t at, std::uint64_t value, int width) {
        return withLittleField(wmv, at, value, width);
    };
    const auto asWmv9 = [&](std::uint32_t header) {
        std::string changed = replaced(wmv, "WMV2", "WMV3");
        for (int i = 0; i < 4; ++i)
            changed[sequenceHeader + std::size_t(i)] = char(header >> (24 - 8 * i));
        return changed;
    };
    ASSERT_EQ(wmv[firstPayload], 2) << "the audio stream's first payload";
    // The video's first three objects moved to a stream no header describes: the video then
    // begins after the audio's fourth packet, where libavformat's analysis stops.
    std::string lateVideo = wmv;
    const std::string wholeObject("\x00\x00\x00\x00\x08", 5); // offset 0, 8 replicated bytes
    for (std::size_t at = firstPayload, hidden = 0; hidden < 3; ++at) {
        at = lateVideo.find(wholeObject, at);
        ASSERT_NE(at, std::string::npos);
        // A payload of stream 1 (the key frame flag aside), then its object number.
        if ((lateVideo[at - 2] & 0x7F) == 1) {
            lateVideo[at - 2] = char(lateVideo[at - 2] ^ 4);
            ++hidden;
        }
    }
    const std::size_t audioFormat = wmv.find("\x40\x9E\x69\xF8") + 54;
    // libavformat times the streams only when the file is off its stated size by less than a
    // twentieth of the smaller, in whole bytes.
    std::size_t twentieth = 0;
    while (twentieth < (wmv.size() - twentieth) / 20)
        ++twentieth;
    expectAnsweredAsLibavOrDeclined(
        readAsfHeader,
        {
            {"clip.wmv", wmv, true},
            {"audio.wma", corpus("audio.wma"), true},
            {"an hour long", withField(properties + 40, 36'000'123'456'789, 8), true},
            {"the audio's first object in a stream not described", withField(firstPayload, 5, 1),
             true},
            {"cut by just less than a twentieth", wmv.substr(0, wmv.size() - twentieth + 1), true},
            {"cut by a twentieth", wmv.substr(0, wmv.size() - twentieth), false},
            {"WMV 9 without B-frames", asWmv9(0x50C3B480), true},
            {"the video beginning after the audio's fourth packet", lateVideo, true},
            {"the same with audio libavcodec cannot time",
             withLittleField(lateVideo, audioFormat + 12, 1, 2), false},
            {"WMV 9 with B-frames", asWmv9(0x50C3B4F0), false},
            {"a preroll longer than the play time", withField(properties + 56, 9'000'000, 4),
             false},
            {"broadcast", withField(properties + 64, 3, 4), false},
            {"a stated size a fifth off", withField(properties + 16, wmv.size() * 6 / 5, 8), false},
            {"a video codec no decoder takes", replaced(wmv, "WMV2", "ZZZZ"), false},
            {"more extra video data than the stream's object holds",
             withField(wmv.find("WMV2") - 16, 200, 4), false},
            {"a picture among the tags",
             replaced(wmv, std::string("E\0n\0c\0o\0d\0i\0n\0g\0", 16),
                      std::string("P\0i\0c\0t\0u\0r\0e\0\0\0", 16)),
             false},
        });
}

// An Ogg file's pages, each changed as given (its header fields at their offsets: flags at 5,
// granule position at 6, serial number at 14), with their checksums made right again.
std::string withOggPages(std::string bytes, const std::function<void(std::string&)>& change)
{
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t lacing = std::uint8_t(bytes[at + 26]);
        std::size_t size = 27 + lacing;
        for (std::size_t i = 0; i < lacing; ++i)
            size += std::uint8_t(bytes[at + 27 + i]);
        std::string page = bytes.substr(at, size);
        change(page);
        page.replace(22, 4, std::string(4, '\0'));
        const std::uint32_t checksum =
            crc32({reinterpret_cast<const std::uint8_t*>(page.data()), page.size()}, 0);
        page.replace(22, 4, littleEndian(checksum, 4));
        bytes.replace(at, size, page);
        at += size;
    }
    return bytes;
}

std::uint64_t granuleOf(const std::string& page)
{
    return std::uint64_t(little32At(page, 10)) << 32 | little32At(page, 6);
}

// Ogg: each stream from the start its first data page implies to its last granule position
// (Opus: its start plus that position); anything else goes to libavformat.
TEST(HeaderReadersTest, OggHeadersAsLibavformatReadsThem)
{
    const std::string audio = corpus("audio.ogg");
    const std::string clip = corpus("clip.ogv");
    const std::string opus = corpus("opus.ogv");
    const std::uint32_t videoSerial = little32At(clip, 14);
    // The second first page, of the second stream.
    const std::uint32_t opusSerial = little32At(opus, opus.find("OggS", 1) + 14);
    // Granule positions moved on, as in a stream cut from a longer one: the start then depends
    // on the Vorbis packets' block sizes, the Opus packets' tables of contents, or Theora's key
    // frame count.
    const auto later = [](const std::string& bytes, std::uint32_t serial, std::uint64_t by) {
        return withOggPages(bytes, [&](std::string& page) {
            if (little32At(page, 14) == serial && granuleOf(page) != 0)
                page.replace(6, 8, littleEndian(granuleOf(page) + by, 8));
        });
    };
    const auto unchanged = [](std::string&) {};
    // The third page: the first of audio, after the identification page and the one of comments
    // and setup.
    const std::size_t firstData = audio.find("OggS", audio.find("OggS", 1) + 1);
    std::string endsAtOnce = audio;
    endsAtOnce[firstData + 5] = 4;
    std::string unknownFlags = audio;
    unknownFlags[5] = 0x0A; // beginning of stream, and a flag Ogg does not define
    std::string damagedEnd = audio;
    damagedEnd[audio.size() - 10] ^= 1;
    const std::size_t encoder = audio.find("encoder=");
    const std::string picture =
        audio.substr(0, encoder) + "METADATA_BLOCK_PICTURE=" + audio.substr(encoder + 23);
    const std::string chained =
        audio + withOggPages(audio, [](std::string& page) { page[14] = char(page[14] ^ 1); });
    expectAnsweredAsLibavOrDeclined(
        readOggHeader,
        {
            {"audio.ogg", audio, true},
            {"clip.ogv", clip, true},
            {"audio starting later", later(audio, little32At(audio, 14), 100'003), true},
            {"video from a later key frame", later(clip, videoSerial, 1 << 20), true},
            {"opus.ogv", opus, true},
            {"Opus starting later, beside video", later(opus, opusSerial, 48'007), true},
            {"cut inside its last page", clip.substr(0, clip.size() - 100), true},
            {"a damaged page among the last", damagedEnd, false},
            {"a flag Ogg does not define, first", withOggPages(unknownFlags, unchanged), false},
            {"a stream ending on its first data page", withOggPages(endsAtOnce, unchanged), false},
            {"a picture among the comments", withOggPages(picture, unchanged), false},
            {"a second stream chained after the first", chained, false},
        });
}

// On a share each request is a round trip: the first pages and the last 65,307 bytes take one
// each, after the window the readers share.
TEST(HeaderReadersTest, OggIsReadInThreeRequests)
{
    // The clip with a page repeated in its middle, far enough apart for its first and last pages
    // to be two reads, as in a film.
    const std::string clip = corpus("clip.ogv");
    std::size_t middle = 0;
    for (int page = 0; page < 10; ++page)
        middle = clip.find("OggS", middle + 1);
    const std::size_t next = clip.find("OggS", middle + 1);
    std::string film = clip.substr(0, next);
    for (int copy = 0; copy < 100; ++copy)
        film += clip.substr(middle, next - middle);
    film += clip.substr(next);
    ASSERT_GT(film.size(), 200'000u);

    int requests = 0;
    const ReadAt readAt = [&](std::int64_t offset, std::span<std::uint8_t> into) {
        ++requests;
        const std::int64_t count =
            std::clamp<std::int64_t>(std::int64_t(film.size()) - offset, 0, into.size());
        std::memcpy(into.data(), film.data() + offset, std::size_t(count));
        return count;
    };
    HeaderWindow window(std::int64_t(film.size()), readAt);
    EXPECT_TRUE(readOggHeader(window).has_value());
    EXPECT_LE(requests, 3);
}

// A PES packet's presentation time, and its decoding time where it has one, moved on by some
// ticks of 90 kHz.
void movedOn(std::string& unit, std::int64_t ticks)
{
    for (const std::size_t at : {std::size_t(9), std::size_t(14)}) {
        if (at == 14 && !(unit[7] & 0x40))
            break;
        const auto byte = [&unit, at](std::size_t i) {
            return std::int64_t(std::uint8_t(unit[at + i]));
        };
        const std::int64_t time = ((byte(0) >> 1 & 7) << 30 | byte(1) << 22 | (byte(2) >> 1) << 15 |
                                   byte(3) << 7 | byte(4) >> 1) +
                                  ticks;
        unit[at] = char((byte(0) & 0xF1) | (time >> 30 & 7) << 1);
        unit[at + 1] = char(time >> 22);
        unit[at + 2] = char((time >> 15 & 0x7F) << 1 | 1);
        unit[at + 3] = char(time >> 7);
        unit[at + 4] = char((time & 0x7F) << 1 | 1);
    }
}

// The transport stream with its program map (in its third packet, as FFmpeg writes it) changed,
// and its checksum made right again.
std::string withProgramMap(std::string bytes, const std::function<void(std::string&)>& change)
{
    const std::size_t at = 2 * 188 + 5; // after the packet header and the pointer field
    const std::size_t length =
        3 + ((std::uint8_t(bytes[at + 1]) & 0x0F) << 8 | std::uint8_t(bytes[at + 2]));
    std::string section = bytes.substr(at, length - 4);
    change(section);
    const std::size_t newLength = section.size() + 4 - 3;
    section[1] = char((section[1] & 0xF0) | newLength >> 8);
    section[2] = char(newLength & 0xFF);
    const std::uint32_t checksum =
        crc32({reinterpret_cast<const std::uint8_t*>(section.data()), section.size()}, 0xFFFFFFFF);
    section += bigEndian(checksum, 4);
    section.resize(188 - 5, '\xFF');
    return bytes.replace(at, 188 - 5, section);
}

// MPEG-TS, of H.264 or MPEG-2 video: each stream that gives a frame before the analysis stops,
// from its first frame to the end of its last one; anything else goes to libavformat.
TEST(HeaderReadersTest, TransportStreamsAsLibavformatReadsThem)
{
    const std::string ts = corpus("clip.ts");
    ASSERT_EQ(ts.compare(2 * 188 + 5, 1, "\x02"), 0) << "the program map in the third packet";
    const auto withoutAudio = [](const std::string& bytes) {
        return withProgramMap(bytes, [](std::string& map) { map.resize(map.size() - 5); });
    };
    // Without its audio, the video alone: its end is its last frame's.
    std::string videoOnly;
    for (std::size_t at = 0; at < ts.size(); at += 188) {
        if ((ts[at + 1] & 0x1F) != 1 || ts[at + 2] != 1) // the audio's PID, 0x101
            videoOnly += ts.substr(at, 188);
    }
    const std::string otherAudio = withProgramMap(ts, [](std::string& map) {
        map[map.size() - 5] = 0x11; // LATM, which the reader does not know
    });
    // A copy of a later frame's first packet among the first frames: libavformat then guesses a
    // frame rate of its own.
    std::vector<std::size_t> videoStarts;
    for (std::size_t at = 0; at < ts.size(); at += 188) {
        if ((ts[at + 1] & 0x5F) == 0x41 && ts[at + 2] == 0) // a unit start of PID 0x100
            videoStarts.push_back(at);
    }
    ASSERT_GT(videoStarts.size(), 10u);
    const std::string jumped =
        ts.substr(0, videoStarts[2]) + ts.substr(videoStarts[10], 188) + ts.substr(videoStarts[2]);
    std::string untimed = ts;
    untimed[untimed.find(std::string("\0\0\1\xE0", 4)) + 7] = 0;
    // The video alone, its second frame timed a little off the frame grid: libavformat guesses a
    // rate of its own from the first frames.
    std::string offGrid = videoOnly;
    const std::string videoStart("\0\0\1\xE0", 4);
    const std::size_t second = offGrid.find(videoStart, offGrid.find(videoStart) + 4);
    std::string header = offGrid.substr(second, 19);
    movedOn(header, 300);
    offGrid.replace(second, 19, header);
    expectAnsweredAsLibavOrDeclined(
        readMpegTsHeader, {
                              {"clip.ts", ts, true},
                              {"mpeg2.ts", corpus("mpeg2.ts"), true},
                              {"the video alone", withoutAudio(videoOnly), true},
                              {"a frame timed off the grid", withoutAudio(offGrid), true},
                              {"audio outside the program map", withoutAudio(ts), false},
                              {"audio of a codec the reader does not know", otherAudio, false},
                              {"a first video frame without its time", untimed, false},
                              {"a later frame among the first", jumped, false},
                              {"cut inside a packet", ts.substr(0, ts.size() - 100), false},
                          });
}

// The program stream with each of its PES packets (start code, length and all) replaced by what
// the change makes of it; packs and system headers stay.
std::string withPesPackets(const std::string& bytes,
                           const std::function<std::string(const std::string&)>& change)
{
    std::string changed;
    for (std::size_t at = 0; at + 6 <= bytes.size();) {
        const auto code = std::uint8_t(bytes[at + 3]);
        const std::size_t length =
            code == 0xBA
                ? 14 + (std::uint8_t(bytes[at + 13]) & 7)
                : 6 + (std::size_t(std::uint8_t(bytes[at + 4])) << 8 | std::uint8_t(bytes[at + 5]));
        const std::string unit = bytes.substr(at, length);
        changed += code == 0xBA || code == 0xBB ? unit : change(unit);
        at += length;
    }
    return changed;
}

// MPEG-PS of MPEG-2 video and MPEG audio: each stream that gives a frame before the analysis
// stops, from its first frame to the end of the last packet; anything else goes to libavformat.
TEST(HeaderReadersTest, ProgramStreamsAsLibavformatReadsThem)
{
    const std::string clip = corpus("clip.mpg");
    const auto without = [&clip](std::uint8_t code) {
        return withPesPackets(clip, [code](const std::string& unit) {
            return std::uint8_t(unit[3]) == code ? std::string() : unit;
        });
    };
    const auto firstOf = [&clip](std::uint8_t code, const std::function<void(std::string&)>& edit) {
        bool first = true;
        return withPesPackets(clip, [&](std::string unit) {
            if (first && std::uint8_t(unit[3]) == code) {
                edit(unit);
                first = false;
            }
            return unit;
        });
    };
    // A later frame's packet among the first frames: libavformat guesses a rate of its own.
    std::vector<std::string> timedVideo;
    withPesPackets(clip, [&timedVideo](const std::string& unit) {
        if (std::uint8_t(unit[3]) == 0xE0 && (unit[7] & 0x80))
            timedVideo.push_back(unit);
        return unit;
    });
    ASSERT_GT(timedVideo.size(), 12u);
    const std::string jumped =
        firstOf(0xE0, [&timedVideo](std::string& unit) { unit += timedVideo[12]; });
    // The video alone, a frame among the first timed off the frame grid: the rate libavformat
    // guesses from the first frames, and so the end of the last one, moves.
    int timedPackets = 0;
    const std::string offGrid = withPesPackets(without(0xC0), [&timedPackets](std::string unit) {
        if (std::uint8_t(unit[3]) == 0xE0 && (unit[7] & 0x80) && ++timedPackets == 2)
            movedOn(unit, 1200);
        return unit;
    });
    const std::string untimed = firstOf(0xE0, [](std::string& unit) { unit[7] = 0; });
    const std::string privateAudio = withPesPackets(clip, [](std::string unit) {
        if (std::uint8_t(unit[3]) == 0xC0)
            unit[3] = char(0xBD);
        return unit;
    });
    const std::string streamMap = firstOf(0xE0, [](std::string& unit) {
        unit.insert(0, std::string("\0\0\1\xBC\0\x0A\x80\x01\0\0\0\0\0\0\0\0", 16));
    });
    // FFmpeg's DVD muxer (here with AC-3) leaves its navigation packs empty; filled in, as on a
    // DVD, they start before the audio and the video, and the file with them.
    const std::string dvd = corpus("dvd.mpg");
    std::uint32_t block = 0;
    const std::string navigated = withPesPackets(dvd, [&block](std::string unit) {
        if (std::uint8_t(unit[3]) == 0xBF && unit[6] == 0) {
            unit.replace(7, 4, bigEndian(block, 4));
            unit.replace(6 + 0x0D, 8,
                         bigEndian(20'000 + 45'000 * block, 4) +
                             bigEndian(65'000 + 45'000 * block, 4));
        } else if (std::uint8_t(unit[3]) == 0xBF) {
            unit.replace(6 + 5, 4, bigEndian(block++, 4));
        }
        return unit;
    });
    std::string sofdec = dvd;
    sofdec.replace(sofdec.find(std::string("\0\0\1\xBF", 4)) + 40, 6, "Sofdec");
    const std::size_t lastAudio = clip.rfind(std::string("\0\0\1\xC0", 4));
    expectAnsweredAsLibavOrDeclined(
        readMpegPsHeader, {
                              {"clip.mpg", clip, true},
                              {"the video alone", without(0xC0), true},
                              {"the audio alone", without(0xE0), true},
                              {"a later frame among the first", jumped, true},
                              {"a frame decoded off the grid", offGrid, true},
                              {"a first video frame without its time", untimed, false},
                              {"MPEG audio in a private stream", privateAudio, false},
                              {"a stream map", streamMap, false},
                              {"dvd.mpg", dvd, true},
                              {"a DVD's navigation, starting first", navigated, true},
                              {"navigation naming Sofdec", sofdec, false},
                              {"cut in its last padding", clip.substr(0, clip.size() - 100), true},
                              {"cut inside a packet", clip.substr(0, lastAudio + 100), false},
                          });
}

// What the readers take as playable without loading libavcodec, libavcodec plays.
TEST(HeaderReadersTest, CodecsTakenAsPlayableArePlayable)
{
    const LibavModule* libav = libavModule();
    ASSERT_NE(libav, nullptr);
    for (const std::uint32_t handler : {0x76696465u, 0x736f756eu}) { // "vide", "soun"
        for (const std::uint32_t code : codesPlayableEverywhere(handler))
            EXPECT_TRUE(libav->movCodecPlays(handler, code)) << std::hex << code;
    }
    EXPECT_FALSE(libav->movCodecPlays(0x76696465u, 0x706e6720u)) << "png is a still image";
    const auto decoded = [libav](const auto& codecs) {
        for (const auto& codec : codecs)
            EXPECT_TRUE(libav->hasDecoder(std::string(codec.decoder).c_str())) << codec.code;
    };
    for (const auto& codecs : {matroskaVideoCodecs(), matroskaAudioCodecs()})
        decoded(codecs);
    for (const auto& codecs : {aviVideoCodecs(), aviAudioCodecs()})
        decoded(codecs);
    for (const auto& codecs : {flvVideoCodecs(), flvAudioCodecs()})
        decoded(codecs);
    for (const auto& codecs : {asfVideoCodecs(), asfAudioCodecs()})
        decoded(codecs);
    for (const char* oggCodec : {"theora", "vorbis", "opus"})
        EXPECT_TRUE(libav->hasDecoder(oggCodec)) << oggCodec;
}

} // namespace
} // namespace quillmark
