#include "measure/avi_header.h"

#include "measure/wave_format.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <numeric>
#include <vector>

namespace quillmark {

namespace {

using Declined = HeaderDeclined;

// libavformat gives up reading the header at a chunk this large, other than the movie data.
constexpr std::uint32_t largestHeaderChunk = 1000000;
// Real headers hold a few dozen chunks.
constexpr int mostChunks = 256;

constexpr AviCodec videoCodecs[] = {
    {littleFourCC("FMP4"), "mpeg4"}, {littleFourCC("XVID"), "mpeg4"},
    {littleFourCC("xvid"), "mpeg4"}, {littleFourCC("DIVX"), "mpeg4"},
    {littleFourCC("divx"), "mpeg4"}, {littleFourCC("DX50"), "mpeg4"},
    {littleFourCC("H264"), "h264"},  {littleFourCC("h264"), "h264"},
    {littleFourCC("X264"), "h264"},  {littleFourCC("x264"), "h264"},
    {littleFourCC("avc1"), "h264"},  {littleFourCC("MJPG"), "mjpeg"}};
// PCM (by its sample size), MPEG audio layers 2 and 3, AC-3.
constexpr AviCodec audioCodecs[] = {
    {0x0001, "pcm_s16le"}, {0x0050, "mp2float"}, {0x0055, "mp3float"}, {0x2000, "ac3"}};

struct Stream {
    std::uint32_t type = 0;
    std::optional<double> seconds; // when libavformat gives the stream a duration
    bool described = false;        // its format chunk was read
    bool playable = false;
};

// The stream header as libavformat reads it: the type, the time base (scale over rate), where
// the stream starts, its length and sample size.
Stream streamOf(const std::uint8_t* strh)
{
    Stream stream;
    stream.type = littleEndian<std::uint32_t>(strh);
    const std::uint32_t scale = littleEndian<std::uint32_t>(strh + 20);
    const std::uint32_t rate = littleEndian<std::uint32_t>(strh + 24);
    const std::uint32_t start = littleEndian<std::uint32_t>(strh + 28);
    const std::uint32_t length = littleEndian<std::uint32_t>(strh + 32);
    const std::uint32_t sampleSize = littleEndian<std::uint32_t>(strh + 44);
    if (stream.type != littleFourCC("vids") && stream.type != littleFourCC("auds"))
        throw Declined{};
    // libavformat replaces a zero scale or rate, refuses a late start, and approximates a time
    // base beyond 32 bits.
    if (scale == 0 || rate == 0 || start != 0 || scale > INT_MAX || rate > INT_MAX)
        throw Declined{};
    if (stream.type == littleFourCC("vids") || sampleSize == 0) {
        const std::uint32_t common = std::gcd(scale, rate);
        stream.seconds = double(std::int64_t(length)) *
                         (double(int(scale / common)) / double(int(rate / common)));
    }
    return stream;
}

// The format chunk: the codec, for a stream of a type libavformat maps to a decoder.
void describe(Stream& stream, const std::uint8_t* strf, std::uint32_t size)
{
    if (stream.type == littleFourCC("vids")) {
        if (size < 40)
            throw Declined{};
        stream.playable =
            isKnownCodec<std::uint32_t>(videoCodecs, littleEndian<std::uint32_t>(strf + 16));
    } else {
        stream.playable = waveFormatPlays(strf, size, audioCodecs);
    }
    stream.described = true;
}

// The INFO list's entries, which libavformat reads as tags and refuses the file for when one
// does not fit: they must fill the list exactly.
void checkInfo(HeaderWindow& file, std::int64_t offset, std::int64_t end)
{
    for (int entries = 0; offset < end; ++entries) {
        if (entries == mostChunks || end - offset < 8)
            throw Declined{};
        const std::uint32_t size = littleEndian<std::uint32_t>(file.bytes(offset + 4, 4));
        offset += 8 + std::int64_t(size) + (size & 1);
        if (offset > end)
            throw Declined{};
    }
}

MediaProbe read(HeaderWindow& file)
{
    const std::uint8_t* riff = file.bytes(0, 12);
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "AVI ", 4) != 0)
        throw Declined{};
    // A file shorter than its RIFF chunk says is truncated: libavformat shortens each duration.
    if (std::int64_t(littleEndian<std::uint32_t>(riff + 4)) + 8 > file.fileSize())
        throw Declined{};

    std::vector<Stream> streams;
    std::vector<std::int64_t> listEnds{std::int64_t(littleEndian<std::uint32_t>(riff + 4)) + 8};
    std::int64_t offset = 12;
    for (int chunks = 0;; ++chunks) {
        while (offset >= listEnds.back()) {
            listEnds.pop_back();
            if (listEnds.empty())
                throw Declined{}; // no movie data
        }
        if (chunks == mostChunks)
            throw Declined{};
        const std::uint8_t* header = file.bytes(offset, 8);
        const std::uint32_t tag = littleEndian<std::uint32_t>(header);
        const std::uint32_t size = littleEndian<std::uint32_t>(header + 4);
        const std::int64_t body = offset + 8;
        // The header ends where the movie data begins, however large.
        if (tag == littleFourCC("LIST") &&
            littleEndian<std::uint32_t>(file.bytes(body, 4)) == littleFourCC("movi"))
            break;
        // A chunk that runs past its list is cut to it by libavformat: left to it.
        if (size > largestHeaderChunk || (size & 1) != 0 || body + size > listEnds.back())
            throw Declined{};
        if (tag == littleFourCC("LIST")) {
            const std::uint32_t type = littleEndian<std::uint32_t>(file.bytes(body, 4));
            // libavformat reads the header's lists as a flat run of chunks, and INFO at once.
            if (type != littleFourCC("hdrl") && type != littleFourCC("strl") &&
                type != littleFourCC("odml") && type != littleFourCC("INFO"))
                throw Declined{};
            if (type == littleFourCC("INFO")) {
                checkInfo(file, body + 4, body + size);
                offset = body + size;
            } else {
                listEnds.push_back(body + size);
                offset = body + 4;
            }
            continue;
        }
        if (tag == littleFourCC("avih") && size < 40)
            throw Declined{};
        if (tag == littleFourCC("strh")) {
            if (size < 48)
                throw Declined{};
            streams.push_back(streamOf(file.bytes(body, 48)));
        } else if (tag == littleFourCC("strf")) {
            if (streams.empty() || streams.back().described || size == 0)
                throw Declined{};
            describe(streams.back(), file.bytes(body, std::min<std::uint32_t>(size, 40)), size);
        } else if (tag == littleFourCC("indx") || tag == littleFourCC("amvh")) {
            // An OpenDML index and AMV are read their own ways; OpenDML's header (dmlh), whose
            // frame count libavformat skips, is harmless alone.
            throw Declined{};
        }
        offset = body + size;
    }

    std::optional<double> longest;
    bool playable = false;
    for (const Stream& stream : streams) {
        playable = playable || stream.playable;
        if (stream.seconds && (!longest || *stream.seconds > *longest))
            longest = stream.seconds;
    }
    if (!playable || !longest)
        throw Declined{};
    return MediaProbe{true, longest};
}

} // namespace

std::span<const AviCodec> aviVideoCodecs()
{
    return videoCodecs;
}

std::span<const AviCodec> aviAudioCodecs()
{
    return audioCodecs;
}

std::optional<MediaProbe> readAviHeader(HeaderWindow& file)
{
    return unlessDeclined([&file] { return read(file); });
}

} // namespace quillmark
