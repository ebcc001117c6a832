#pragma once

#include "measure/probe_types.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace quillmark {

// Reads bytes of one file at a position into the span; returns how many it read (fewer only at
// the end of the file) or a negative number when the read failed.
using ReadAt = std::function<std::int64_t(std::int64_t offset, std::span<std::uint8_t> into)>;

// What a header reader throws when the file is not the common case it knows for sure: the file
// then goes to libavformat.
struct HeaderDeclined {};

// A file read for its headers a window at a time, so that neighbouring headers cost one request,
// and the readers tried one after the other find the bytes the last one read. Real files need a
// handful of requests; a crafted one that would need more is declined rather than read at length.
class HeaderWindow {
public:
    static constexpr std::int64_t windowBytes = 16 * 1024;
    static constexpr int mostRequests = 32;

    HeaderWindow(std::int64_t fileSize, const ReadAt& readAt);

    // The bytes [offset, offset + length), which must lie inside the file and be at most a
    // window long; throws HeaderDeclined otherwise or when the read fails.
    const std::uint8_t* bytes(std::int64_t offset, std::int64_t length);
    std::int64_t fileSize() const { return m_fileSize; }
    // From now on, each request reads this many bytes (as far as the file goes), at least a
    // window: for a reader that walks far, fewer requests, each a round trip on a share.
    void readAhead(std::int64_t bytes) { m_requestBytes = std::max(bytes, windowBytes); }

private:
    std::int64_t m_fileSize;
    std::int64_t m_requestBytes = windowBytes;
    const ReadAt& m_readAt;
    std::vector<std::uint8_t> m_bytes;
    std::int64_t m_start = 0;
    int m_requests = 0;
};

// The bytes [offset, offset + length) of the file, which may be longer than a window.
std::vector<std::uint8_t> readSpan(HeaderWindow& file, std::int64_t offset, std::int64_t length);

// The number in `count` bytes (those of the type by default), most significant first, as MP4,
// Matroska and FLV store numbers.
template <typename Number>
constexpr Number bigEndian(const std::uint8_t* bytes, int count = sizeof(Number))
{
    Number value = 0;
    for (int i = 0; i < count; ++i)
        value = Number(value << 8 | bytes[i]);
    return value;
}

// The same, least significant first, as RIFF and ASF store numbers.
template <typename Number>
constexpr Number littleEndian(const std::uint8_t* bytes, int count = sizeof(Number))
{
    Number value = 0;
    for (int i = count; i-- > 0;)
        value = Number(value << 8 | bytes[i]);
    return value;
}

// A four-character code as RIFF and ASF store it: a little-endian number.
constexpr std::uint32_t littleFourCC(const char (&text)[5])
{
    return std::uint32_t(std::uint8_t(text[0])) | std::uint32_t(std::uint8_t(text[1])) << 8 |
           std::uint32_t(std::uint8_t(text[2])) << 16 | std::uint32_t(std::uint8_t(text[3])) << 24;
}

// A codec a header reader takes as playable without loading libavcodec: as the container names
// it, and the decoder of libavcodec that plays it (the tests check that each is there).
template <typename Code> struct KnownCodec {
    Code code;
    std::string_view decoder;
};

template <typename Code>
bool isKnownCodec(std::span<const KnownCodec<Code>> codecs, const Code& code)
{
    return std::any_of(codecs.begin(), codecs.end(),
                       [&code](const KnownCodec<Code>& codec) { return codec.code == code; });
}

// What a reader reads, or nothing where it declined.
template <typename Read> std::optional<MediaProbe> unlessDeclined(Read read)
{
    try {
        return read();
    } catch (const HeaderDeclined&) {
        return std::nullopt;
    }
}

} // namespace quillmark
