#include "measure/flv_header.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <string_view>

namespace quillmark {

namespace {

using Declined = HeaderDeclined;

constexpr std::int64_t headerBytes = 9;
constexpr std::int64_t tagHeaderBytes = 11;
constexpr int audioTag = 8;
constexpr int videoTag = 9;
constexpr int scriptTag = 18;
// A video tag that carries a command, not a frame: libavformat skips it without a stream.
constexpr int videoCommandFrame = 5;
// Real files hold a tag or two before the first frame; a crafted one with more is left to
// libavformat.
constexpr int mostTagsBeforeMedia = 8;
// Longer than any film; beyond it the seconds would not convert to microseconds exactly.
constexpr double longestSeconds = 1e9;

constexpr FlvCodec videoCodecs[] = {{2, "flv"}, {4, "vp6f"}, {5, "vp6a"}, {7, "h264"}};
constexpr FlvCodec audioCodecs[] = {{2, "mp3float"}, {10, "aac"}};

// The AMF0 values of onMetaData, as libavformat reads them: only the flat values it takes
// without side effects; a nested object or array (a keyframe index, which changes how it reads
// the tags) is declined.
class MetadataReader {
public:
    MetadataReader(const std::uint8_t* begin, const std::uint8_t* end)
        : m_at(begin)
        , m_end(end)
    {
    }

    // The last number stated as "duration" at the top level; nothing when none is.
    std::optional<double> duration()
    {
        if (byte() != 2 || text() != "onMetaData")
            throw Declined{};
        const int container = byte();
        if (container == 8)
            skip(4); // the ECMA array's count, which libavformat does not use
        else if (container != 3)
            throw Declined{};
        std::optional<double> duration;
        // libavformat stops at an empty key, or once fewer than two bytes of the tag are left.
        for (;;) {
            if (m_end - m_at < 3)
                throw Declined{};
            const std::string_view key = text();
            if (key.empty())
                break;
            const int type = byte();
            if (type == 0) {
                const double value = std::bit_cast<double>(bigEndian<std::uint64_t>(take(8)));
                if (key == "duration")
                    duration = value;
            } else if (key == "duration") {
                throw Declined{}; // a duration of another type libavformat reads its own way
            } else if (type == 1) {
                skip(1);
            } else if (type == 2) {
                text();
            } else if (type == 11) {
                skip(10);
            } else if (type != 5 && type != 6) {
                throw Declined{};
            }
        }
        if (byte() != 9)
            throw Declined{};
        return duration;
    }

private:
    const std::uint8_t* take(std::int64_t count)
    {
        if (m_end - m_at < count)
            throw Declined{};
        const std::uint8_t* at = m_at;
        m_at += count;
        return at;
    }
    void skip(std::int64_t count) { take(count); }
    int byte() { return *take(1); }
    // A string: libavformat refuses one of 256 bytes or more.
    std::string_view text()
    {
        const std::uint32_t length = bigEndian<std::uint32_t>(take(2), 2);
        if (length >= 256)
            throw Declined{};
        return {reinterpret_cast<const char*>(take(length)), length};
    }

    const std::uint8_t* m_at;
    const std::uint8_t* m_end;
};

struct Tag {
    int type;
    std::int64_t data;
    std::int64_t size;
    std::uint32_t timestamp;
};

// The tag at the offset, which must be followed by the size of the tag before it as libavformat
// checks it: otherwise it searches for the next tag, and the file is left to it.
Tag tagAt(HeaderWindow& file, std::int64_t offset)
{
    const std::uint8_t* header = file.bytes(offset, tagHeaderBytes);
    const int type = header[0];
    const std::int64_t size = bigEndian<std::uint32_t>(header + 1, 3);
    const std::uint32_t timestamp =
        bigEndian<std::uint32_t>(header + 4, 3) | std::uint32_t(header[7]) << 24;
    const std::int64_t end = offset + tagHeaderBytes + size;
    if (size == 0 || end + 4 > file.fileSize() ||
        bigEndian<std::uint32_t>(file.bytes(end, 4)) != std::uint32_t(size + tagHeaderBytes))
        throw Declined{};
    return {type, offset + tagHeaderBytes, size, timestamp};
}

MediaProbe read(HeaderWindow& file)
{
    const std::uint8_t* header = file.bytes(0, headerBytes + 4);
    if (std::memcmp(header, "FLV", 3) != 0)
        throw Declined{};
    if (header[3] != 1 || bigEndian<std::uint32_t>(header + 5) != headerBytes ||
        bigEndian<std::uint32_t>(header + 9) != 0)
        throw Declined{};

    // First the stated duration, in a script tag at time zero.
    std::int64_t offset = headerBytes + 4;
    const Tag metadata = tagAt(file, offset);
    if (metadata.type != scriptTag || metadata.timestamp != 0 || metadata.size <= 18 ||
        metadata.size > HeaderWindow::windowBytes)
        throw Declined{};
    const std::uint8_t* body = file.bytes(metadata.data, metadata.size);
    const std::optional<double> stated = MetadataReader(body, body + metadata.size).duration();
    if (!stated || !(*stated > 0) || *stated > longestSeconds)
        throw Declined{};
    // libavformat keeps it in whole microseconds.
    const auto microseconds = std::int64_t(*stated * 1000000);

    // Then the first frame's codec, which makes libavformat's first stream.
    offset = metadata.data + metadata.size + 4;
    for (int tags = 0; tags < mostTagsBeforeMedia; ++tags) {
        const Tag tag = tagAt(file, offset);
        offset = tag.data + tag.size + 4;
        if (tag.type != audioTag && tag.type != videoTag)
            throw Declined{}; // another script, or a tag libavformat may take its own way
        const int flags = *file.bytes(tag.data, 1);
        if (tag.type == videoTag && flags >> 4 == videoCommandFrame)
            continue;
        const bool plays = tag.type == videoTag ? isKnownCodec<int>(videoCodecs, flags & 0x0F)
                                                : isKnownCodec<int>(audioCodecs, flags >> 4);
        if (!plays)
            throw Declined{};
        return MediaProbe{true, double(microseconds) / 1000000};
    }
    throw Declined{};
}

} // namespace

std::span<const FlvCodec> flvVideoCodecs()
{
    return videoCodecs;
}

std::span<const FlvCodec> flvAudioCodecs()
{
    return audioCodecs;
}

std::optional<MediaProbe> readFlvHeader(HeaderWindow& file)
{
    return unlessDeclined([&file] { return read(file); });
}

} // namespace quillmark
