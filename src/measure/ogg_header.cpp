#include "measure/ogg_header.h"

#include "measure/ogg_page.h"
#include "measure/vorbis_blocks.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <numeric>
#include <string_view>
#include <vector>

namespace quillmark {

namespace {

using Declined = HeaderDeclined;

// libavformat looks for the streams' last granule positions this far from the end: the size of
// the largest page.
constexpr std::int64_t tailBytes = 65307;
constexpr std::string_view capturePattern = "OggS";
constexpr std::size_t mostStreams = 8;
constexpr std::size_t largestHeader = 1024 * 1024;
constexpr std::uint64_t largestGranule = std::uint64_t(1) << 62;
// Far longer than any film, far below where the arithmetic could overflow.
constexpr std::int64_t longestMicroseconds = std::int64_t(1) << 50;
constexpr std::int64_t microsecondsPerSecond = 1000000;
// A time base whose terms multiply beyond this is declined, so that rescaling it stays exact in
// 64 bits; real ones stay far below.
constexpr std::int64_t largestTimeBaseProduct = std::int64_t(1) << 42;
// libavformat takes an invalid frame rate for this one.
constexpr std::int64_t assumedFramesPerSecond = 25;

enum class Codec { theora, vorbis, opus };

// Opus counts in samples at 48 kHz, whatever rate it was made from.
constexpr std::int64_t opusRate = 48000;

struct Stream {
    std::uint32_t serial = 0;
    Codec codec = Codec::vorbis;
    // The time base: each unit of a timestamp lasts `unit` / `units` seconds.
    std::int64_t unit = 1;
    std::int64_t units = 1;
    int granuleShift = 0;
    std::vector<std::uint8_t> identification;
    std::optional<VorbisBlocks> blocks;
    int headers = 1;
    int headersNeeded = 3;
    std::vector<std::uint8_t> packet;
    std::optional<std::int64_t> start;
    std::optional<std::int64_t> last;

    // A granule position as a timestamp: Theora's counts key frames and the frames since.
    std::int64_t timestamp(std::uint64_t granule) const
    {
        if (codec != Codec::theora)
            return std::int64_t(granule);
        const std::uint64_t mask = (std::uint64_t(1) << granuleShift) - 1;
        return std::int64_t((granule >> granuleShift) + (granule & mask));
    }
};

void setTimeBase(Stream& stream, std::int64_t unit, std::int64_t units)
{
    const std::int64_t common = std::gcd(unit, units);
    stream.unit = unit / common;
    stream.units = units / common;
    if (stream.unit > largestTimeBaseProduct / stream.units)
        throw Declined{};
}

OggPage pageAt(HeaderWindow& file, std::int64_t at)
{
    OggPageRead read = readOggPage(file, at);
    if (read.outcome != OggPageRead::Outcome::page || read.page.segments.empty())
        throw Declined{};
    return std::move(read.page);
}

bool namesPicture(const std::vector<std::uint8_t>& comments)
{
    static constexpr std::string_view key = "metadata_block_picture";
    return std::search(comments.begin(), comments.end(), key.begin(), key.end(),
                       [](std::uint8_t byte, char wanted) {
                           return std::tolower(byte) == wanted;
                       }) != comments.end();
}

// The stream a first page begins, from the identification header it holds alone.
Stream firstStream(HeaderWindow& file, const OggPage& page)
{
    if (page.flags & OggPage::continued || page.packetsEnding() != 1 || page.segments.back() == 255)
        throw Declined{};
    const std::vector<std::uint8_t> header = readSpan(file, page.body, page.end - page.body);
    Stream stream;
    stream.serial = page.serial;
    if (header.size() >= 42 && std::memcmp(header.data(), "\x80theora", 7) == 0) {
        stream.codec = Codec::theora;
        const std::uint32_t version = bigEndian<std::uint32_t>(&header[7], 3);
        if (version >> 8 != 0x0302 || version < 0x030201)
            throw Declined{};
        const auto framesPer = std::int64_t(std::int32_t(bigEndian<std::uint32_t>(&header[22])));
        const auto seconds = std::int64_t(std::int32_t(bigEndian<std::uint32_t>(&header[26])));
        const bool valid = framesPer > 0 && seconds > 0;
        setTimeBase(stream, valid ? seconds : 1, valid ? framesPer : assumedFramesPerSecond);
        stream.granuleShift = (header[40] & 0x03) << 3 | header[41] >> 5;
        return stream;
    }
    if (header.size() >= 19 && std::memcmp(header.data(), "OpusHead", 8) == 0) {
        if (header[8] & 0xF0)
            throw Declined{}; // a version libavformat refuses
        stream.codec = Codec::opus;
        stream.headersNeeded = 2;
        setTimeBase(stream, 1, opusRate);
        return stream;
    }
    if (header.size() != 30 || std::memcmp(header.data(), "\x01vorbis", 7) != 0)
        throw Declined{};
    const auto sampleRate = std::int32_t(littleEndian<std::uint32_t>(&header[12]));
    const int smaller = header[28] & 0x0F;
    const int larger = header[28] >> 4;
    if (littleEndian<std::uint32_t>(&header[7]) != 0 || sampleRate <= 0 || smaller > larger ||
        smaller < 6 || larger > 13 || header[29] != 1)
        throw Declined{};
    stream.codec = Codec::vorbis;
    setTimeBase(stream, 1, sampleRate);
    stream.identification = header;
    return stream;
}

// A whole header packet after the first: Theora's 0x81 and 0x82, Vorbis's 3 and 5, in order;
// Opus's tags.
void takeHeader(Stream& stream)
{
    const std::vector<std::uint8_t>& packet = stream.packet;
    if (packet.empty())
        throw Declined{};
    if (stream.codec == Codec::opus) {
        if (packet.size() < 8 || std::memcmp(packet.data(), "OpusTags", 8) != 0)
            throw Declined{};
    } else if (stream.codec == Codec::theora) {
        if (packet[0] != 0x80 + stream.headers)
            throw Declined{};
    } else if (packet[0] != 2 * stream.headers + 1) {
        throw Declined{};
    } else if (stream.headers == 2) {
        stream.blocks.emplace(stream.identification, packet);
    }
    // A picture among the comments becomes a stream of its own in libavformat.
    if (stream.headers == 1 && namesPicture(packet))
        throw Declined{};
    ++stream.headers;
}

// A page of header packets, which must end with the stream's last header or within one.
void readHeaderPage(HeaderWindow& file, const OggPage& page, Stream& stream)
{
    if (bool(page.flags & OggPage::continued) != !stream.packet.empty())
        throw Declined{};
    std::int64_t at = page.body;
    for (const std::uint8_t segment : page.segments) {
        if (stream.headers == stream.headersNeeded)
            throw Declined{}; // data on a page of headers
        const std::uint8_t* bytes = file.bytes(at, segment);
        stream.packet.insert(stream.packet.end(), bytes, bytes + segment);
        at += segment;
        if (stream.packet.size() > largestHeader)
            throw Declined{};
        if (segment < 255) {
            takeHeader(stream);
            stream.packet.clear();
        }
    }
}

// The samples of the Opus packets that end on a page, as libavformat counts them from each
// packet's table of contents: the first must be whole, the others are skipped where empty or
// unreadable.
std::int64_t opusSamples(HeaderWindow& file, const OggPage& page)
{
    std::int64_t samples = 0;
    std::int64_t packet = page.body;
    std::int64_t at = page.body;
    for (const std::uint8_t segment : page.segments) {
        at += segment;
        if (segment == 255 || at == packet) {
            if (segment < 255 && packet == page.body)
                throw Declined{}; // an empty first packet, which libavformat refuses
            continue;
        }
        const std::uint8_t* toc = file.bytes(packet, std::min<std::int64_t>(at - packet, 2));
        const unsigned config = toc[0] >> 3;
        const unsigned frameSamples = config < 12   ? std::max(480u, 960 * (config & 3))
                                      : config < 16 ? 480u << (config & 1)
                                                    : 120u << (config & 3);
        const unsigned code = toc[0] & 3;
        if (code == 3 && at - packet < 2) {
            if (packet == page.body)
                throw Declined{};
        } else {
            samples += frameSamples * (code == 3 ? toc[1] & 0x3F : code != 0 ? 2 : 1);
        }
        packet = at;
    }
    return samples;
}

// Where a stream starts, from its first data page as libavformat reads it: the timestamp of the
// page's granule position less the packets that end on it, counted as frames for Theora and as
// samples for Vorbis (whose start is never before zero) and Opus.
std::int64_t startOf(HeaderWindow& file, const OggPage& page, Stream& stream)
{
    if (page.flags & (OggPage::continued | OggPage::lastOfStream) ||
        page.granule >= largestGranule || page.packetsEnding() == 0)
        throw Declined{};
    const std::int64_t end = stream.timestamp(page.granule);
    if (stream.codec == Codec::theora) {
        // Another header packet (libavformat reads on as headers while the top bit is set), or
        // an empty packet, which libavformat judges by the next one's first byte.
        if (page.segments[0] == 0 || *file.bytes(page.body, 1) & 0x80)
            throw Declined{};
        return end - page.packetsEnding();
    }

    if (stream.codec == Codec::opus)
        return end - opusSamples(file, page);

    VorbisBlocks& blocks = *stream.blocks;
    blocks.restart();
    std::int64_t samples = 0;
    std::int64_t packet = page.body;
    std::int64_t at = page.body;
    for (const std::uint8_t segment : page.segments) {
        at += segment;
        if (segment == 255)
            continue;
        if (at == packet)
            throw Declined{}; // an empty packet, whose first byte is the next one's
        samples += blocks.samples(*file.bytes(packet, 1));
        packet = at;
    }
    return std::max<std::int64_t>(end - samples, 0);
}

Stream& streamOf(std::vector<Stream>& streams, const OggPage& page)
{
    const auto found = std::find_if(streams.begin(), streams.end(), [&page](const Stream& stream) {
        return stream.serial == page.serial;
    });
    if (found == streams.end() || page.flags & OggPage::firstOfStream)
        throw Declined{};
    return *found;
}

// The first page libavformat finds from the offset: the next capture pattern whose page is whole.
std::optional<OggPage> firstPageFrom(HeaderWindow& file, std::int64_t at)
{
    while (file.fileSize() - at >= 4) {
        const std::int64_t length = std::min(file.fileSize() - at, HeaderWindow::windowBytes);
        const std::uint8_t* bytes = file.bytes(at, length);
        const std::uint8_t* found =
            std::search(bytes, bytes + length, capturePattern.begin(), capturePattern.end());
        if (found == bytes + length) {
            at += length - 3;
            continue;
        }
        at += found - bytes;
        OggPageRead read = readOggPage(file, at);
        if (read.outcome == OggPageRead::Outcome::page)
            return std::move(read.page);
        if (read.outcome == OggPageRead::Outcome::cutShort)
            return std::nullopt;
        ++at;
    }
    return std::nullopt;
}

// Each stream's last granule position among the last pages, which must follow one another to
// the end of the file: after a gap or a damaged page libavformat searches its own way.
void readLastPages(HeaderWindow& file, std::vector<Stream>& streams)
{
    std::optional<OggPage> page =
        firstPageFrom(file, std::max<std::int64_t>(0, file.fileSize() - tailBytes));
    while (page) {
        if (page->granule >= largestGranule && page->granule != OggPage::noGranule)
            throw Declined{};
        const auto stream = std::find_if(streams.begin(), streams.end(), [&page](const Stream& s) {
            return s.serial == page->serial;
        });
        if (stream == streams.end())
            throw Declined{}; // a chained stream
        if (page->granule != OggPage::noGranule && page->granule != 0)
            stream->last = stream->timestamp(page->granule);
        OggPageRead next = readOggPage(file, page->end);
        if (next.outcome == OggPageRead::Outcome::cutShort)
            return;
        if (next.outcome != OggPageRead::Outcome::page)
            throw Declined{};
        page = std::move(next.page);
    }
}

// A timestamp in microseconds as av_rescale_q gives it: rounded to the nearest, half away from
// zero.
std::int64_t microseconds(std::int64_t units, const Stream& stream)
{
    const std::int64_t perUnit = stream.unit * microsecondsPerSecond;
    const std::int64_t magnitude = units < 0 ? -units : units;
    const std::int64_t whole = magnitude / stream.units;
    if (whole > longestMicroseconds / perUnit)
        throw Declined{};
    const std::int64_t rest = magnitude % stream.units;
    const std::int64_t value = whole * perUnit + (rest * perUnit + stream.units / 2) / stream.units;
    return units < 0 ? -value : value;
}

// libavformat's combination: from the earliest start to the latest end, or the longest stream if
// that is longer.
MediaProbe combined(const std::vector<Stream>& streams)
{
    std::int64_t earliest = longestMicroseconds;
    std::int64_t latest = -longestMicroseconds;
    std::int64_t longest = 0;
    for (const Stream& stream : streams) {
        // libavformat takes Opus's last granule position for its duration, its start aside.
        const std::int64_t units =
            stream.last ? *stream.last - (stream.codec == Codec::opus ? 0 : *stream.start) : 0;
        if (units <= 0)
            throw Declined{};
        const std::int64_t start = microseconds(*stream.start, stream);
        const std::int64_t duration = microseconds(units, stream);
        earliest = std::min(earliest, start);
        latest = std::max(latest, start + duration);
        longest = std::max(longest, duration);
    }
    // Under a microsecond, libavformat states no duration and gives the longest stream's own.
    const std::int64_t total = std::max(longest, latest - earliest);
    if (total <= 0)
        throw Declined{};
    return MediaProbe{true, double(total) / microsecondsPerSecond};
}

MediaProbe read(HeaderWindow& file)
{
    std::vector<Stream> streams;
    // libavformat knows an Ogg file by its first page's flags too: none beyond the three defined.
    if (pageAt(file, 0).flags >
        (OggPage::continued | OggPage::firstOfStream | OggPage::lastOfStream))
        throw Declined{};
    // The last pages in one request, and as much of the first ones.
    file.readAhead(tailBytes);
    std::int64_t at = 0;
    for (;;) {
        const OggPage page = pageAt(file, at);
        if (!(page.flags & OggPage::firstOfStream))
            break;
        if (streams.size() == mostStreams ||
            std::any_of(streams.begin(), streams.end(),
                        [&page](const Stream& stream) { return stream.serial == page.serial; }))
            throw Declined{};
        streams.push_back(firstStream(file, page));
        at = page.end;
    }
    if (streams.empty())
        throw Declined{};

    const auto headersRead = [&streams] {
        return std::all_of(streams.begin(), streams.end(), [](const Stream& stream) {
            return stream.headers == stream.headersNeeded;
        });
    };
    while (!headersRead()) {
        const OggPage page = pageAt(file, at);
        readHeaderPage(file, page, streamOf(streams, page));
        at = page.end;
    }
    const auto started = [&streams] {
        return std::all_of(streams.begin(), streams.end(),
                           [](const Stream& stream) { return stream.start.has_value(); });
    };
    while (!started()) {
        const OggPage page = pageAt(file, at);
        Stream& stream = streamOf(streams, page);
        if (!stream.start)
            stream.start = startOf(file, page, stream);
        at = page.end;
    }

    readLastPages(file, streams);
    return combined(streams);
}

} // namespace

std::optional<MediaProbe> readOggHeader(HeaderWindow& file)
{
    return unlessDeclined([&file] { return read(file); });
}

} // namespace quillmark
