#include "measure/asf_header.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace quillmark {

namespace {

using Declined = HeaderDeclined;
using Guid = std::array<std::uint8_t, 16>;

constexpr Guid headerObject{0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                            0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid dataObject{0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                          0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid filePropertiesObject{0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                    0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid streamPropertiesObject{0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                      0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid headerExtensionObject{0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11,
                                     0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid extendedStreamPropertiesObject{0xCB, 0xA5, 0xE6, 0x14, 0x72, 0xC6, 0x32, 0x43,
                                              0x83, 0x99, 0xA9, 0x69, 0x52, 0x06, 0x5B, 0x5A};
constexpr Guid contentEncryptionObject{0xFB, 0xB3, 0x11, 0x22, 0x23, 0xBD, 0xD2, 0x11,
                                       0xB4, 0xB7, 0x00, 0xA0, 0xC9, 0x55, 0xFC, 0x6E};
constexpr Guid audioMedia{0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                          0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
constexpr Guid videoMedia{0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11,
                          0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

// Windows Media Video 7 to 9 and the Microsoft MPEG-4 versions: none delays frames, except
// WMV 9 with B-frames, which the reader tells from its sequence header.
constexpr AsfCodec videoCodecs[] = {
    {littleFourCC("WMV1"), "wmv1"},      {littleFourCC("WMV2"), "wmv2"},
    {littleFourCC("WMV3"), "wmv3"},      {littleFourCC("MP43"), "msmpeg4"},
    {littleFourCC("MP42"), "msmpeg4v2"}, {littleFourCC("MPG4"), "msmpeg4v1"}};
// PCM (by its sample size) and Windows Media Audio: none has a parser that would retime packets.
constexpr WaveCodec audioCodecs[] = {{0x0001, "pcm_s16le"}, {0x000A, "wmavoice"},
                                     {0x0160, "wmav1"},     {0x0161, "wmav2"},
                                     {0x0162, "wmapro"},    {0x0163, "wmalossless"}};

// Real headers hold a few dozen objects and a handful of streams; the first packet of each
// stream lies within the first few data packets.
constexpr int mostObjects = 256;
constexpr std::size_t mostStreams = 32;
constexpr int mostPackets = 512;
// libavformat's limits on a packet and on one media object.
constexpr std::uint32_t largestPacket = 1U << 29;
constexpr std::uint32_t largestObject = 1U << 24;
// How much libavformat's analysis reads at most, in packets' bytes.
constexpr std::int64_t analysisBytes = 5000000;
// libavformat's analysis may stop after some thirty packets of a video stream, timing its frames.
constexpr int mostVideoPackets = 30;
// Timestamps more than a minute apart libavformat takes as wrapped around.
constexpr std::int64_t widestStartSpread = 60000;
// A payload extension that carries its own timestamps, which libavformat then uses.
constexpr std::uint8_t timestampExtension = 0x2A;

// Reads the file forward from a position, a few bytes at a time.
struct Cursor {
    HeaderWindow& file;
    std::int64_t at;

    const std::uint8_t* take(std::int64_t count)
    {
        const std::uint8_t* bytes = file.bytes(at, count);
        at += count;
        return bytes;
    }
    void skip(std::int64_t count)
    {
        if (count > file.fileSize() - at)
            throw Declined{};
        at += count;
    }
    std::uint32_t byte() { return *take(1); }
    std::uint32_t little16() { return littleEndian<std::uint32_t>(take(2), 2); }
    std::uint32_t little32() { return littleEndian<std::uint32_t>(take(4)); }
    std::uint64_t little64() { return littleEndian<std::uint64_t>(take(8)); }
    Guid guid()
    {
        Guid value;
        std::copy_n(take(16), 16, value.begin());
        return value;
    }
    // A field whose width two bits of a flag byte give: none, one, two or four bytes.
    std::uint32_t sized(std::uint32_t bits, std::uint32_t absent, int& length)
    {
        switch (bits & 3) {
        case 1:
            length += 1;
            return byte();
        case 2:
            length += 2;
            return little16();
        case 3:
            length += 4;
            return little32();
        default:
            return absent;
        }
    }
};

struct FileProperties {
    std::uint64_t fileSize = 0;
    std::uint64_t playTime = 0; // in 100 ns
    std::uint32_t preroll = 0;  // in ms
    std::uint32_t flags = 0;
    std::uint32_t minPacket = 0;
    std::uint32_t maxPacket = 0;
    bool broadcast() const { return (flags & 1) != 0; }
};

FileProperties filePropertiesOf(Cursor in)
{
    FileProperties properties;
    in.skip(16);
    properties.fileSize = in.little64();
    in.skip(16);
    properties.playTime = in.little64();
    in.skip(8);
    properties.preroll = in.little32();
    in.skip(4);
    properties.flags = in.little32();
    properties.minPacket = in.little32();
    properties.maxPacket = in.little32();
    if (properties.minPacket >= largestPacket)
        throw Declined{}; // libavformat refuses the file
    return properties;
}

// The duration, in milliseconds, libavformat gives each stream: the play time less the preroll,
// unless the file is broadcast or its stated size is a twentieth or more off.
std::int64_t streamDuration(const FileProperties& properties, std::int64_t fileSize)
{
    const auto statedSize = std::int64_t(properties.fileSize);
    if (properties.broadcast() ||
        (statedSize > 0 && std::abs(fileSize - statedSize) >= std::min(fileSize, statedSize) / 20))
        throw Declined{};
    return std::int64_t(properties.playTime / 10000) - std::int64_t(properties.preroll);
}

// A WMV 9 sequence header with B-frames makes the decoder delay frames, and libavformat then
// times the stream's start otherwise.
bool delaysFrames(Cursor in, std::int64_t extraBytes)
{
    if (extraBytes < 4)
        throw Declined{};
    const auto header = bigEndian<std::uint32_t>(in.take(4));
    const std::uint32_t profile = header >> 30;
    const std::uint32_t bFrames = header >> 4 & 7;
    return profile == 3 || bFrames != 0;
}

// A stream as libavformat's analysis times its packets: video without a duration, audio with
// the one libavcodec computes from a packet's size where the reader can tell it.
struct Stream {
    std::uint32_t number = 0;
    bool video = false;
    std::uint32_t format = 0; // the audio's format tag
    std::uint32_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;
    std::uint32_t blockAlign = 0;
    std::uint32_t bits = 0;

    // Whether a packet of this size lasts a millisecond or more for libavformat, which stops its
    // analysis at a stream's fourth packet when the third lasts that long.
    bool lastsAMillisecond(std::uint32_t size) const
    {
        if (video || sampleRate == 0)
            return false;
        if (format == 0x0001) { // PCM: by the exact sample size
            if (channels >= 32768)
                return false;
            const std::uint64_t samples = std::uint64_t(size) * 8 / (bits * channels);
            return samples * 1000 / sampleRate >= 1;
        }
        // WMA 1 and 2: by the decoder's frame when libavcodec sets it (512 samples or more, a
        // millisecond at any rate up to 96 kHz), else by the bit rate, which must give one too.
        if ((format != 0x0160 && format != 0x0161) || sampleRate > 96000 || blockAlign <= 1 ||
            byteRate == 0)
            return false;
        const std::uint64_t samples = std::uint64_t(size) * 8 * sampleRate / (8ULL * byteRate);
        return samples * 1000 / sampleRate >= 1;
    }
};

// A stream properties object whose body starts at the cursor, once the reader knows the stream
// plays and has no frame delay.
Stream playingStream(Cursor in, std::int64_t objectSize)
{
    const Guid type = in.guid();
    in.skip(16 + 8);
    const std::uint32_t typeSpecificSize = in.little32();
    in.skip(4);
    Stream stream;
    stream.number = in.little16() & 0x7F;
    in.skip(4);
    if (54 + std::int64_t(typeSpecificSize) > objectSize - 24)
        throw Declined{};
    if (type == audioMedia) {
        Cursor fields = in;
        const std::uint8_t* format = in.take(std::min<std::uint32_t>(typeSpecificSize, 16));
        if (!waveFormatPlays(format, typeSpecificSize, audioCodecs))
            throw Declined{};
        stream.format = fields.little16();
        stream.channels = fields.little16();
        stream.sampleRate = fields.little32();
        stream.byteRate = fields.little32();
        stream.blockAlign = fields.little16();
        stream.bits = typeSpecificSize >= 16 ? fields.little16() : 8;
        return stream;
    }
    // libavformat reads a video format only from an object long enough for one.
    if (type != videoMedia || objectSize - 78 < 51)
        throw Declined{};
    in.skip(11);
    // libavformat refuses a file whose bitmap header claims more extra data than its object holds.
    const auto bitmapSize = std::int32_t(in.little32());
    if (bitmapSize > 40 && objectSize < bitmapSize - 40)
        throw Declined{};
    in.skip(12);
    const std::uint32_t codec = in.little32();
    in.skip(20);
    if (!isKnownCodec(std::span<const AsfCodec>(videoCodecs), codec) ||
        (codec == littleFourCC("WMV3") && delaysFrames(in, std::int64_t(bitmapSize) - 40)))
        throw Declined{};
    stream.video = true;
    return stream;
}

// An extended stream properties object: libavformat reads it field by field and goes on right
// after what it read (a stream properties object may follow inside it).
void skipExtendedStreamProperties(Cursor& in)
{
    in.skip(60);
    const std::uint32_t names = in.little16();
    const std::uint32_t extensions = in.little16();
    for (std::uint32_t i = 0; i < names; ++i) {
        in.skip(2);
        in.skip(in.little16());
    }
    for (std::uint32_t i = 0; i < extensions; ++i) {
        if (in.guid()[0] == timestampExtension)
            throw Declined{};
        in.skip(2);
        in.skip(in.little32());
    }
}

// A tag's name as ASF writes it, in UTF-16LE.
std::string utf16(std::string_view ascii)
{
    std::string bytes;
    for (const char letter : ascii) {
        bytes += letter;
        bytes += '\0';
    }
    return bytes;
}

// libavformat makes a stream of each picture a tag holds ("WM/Picture", or those inside an "ID3"
// tag) and refuses a file past 127 streams: a header that names either is left to it.
bool namesPictures(HeaderWindow& file, std::int64_t begin, std::int64_t end)
{
    static const std::string names[] = {utf16("WM/Picture"), utf16("ID3")};
    constexpr std::int64_t overlap = 20; // so that a name across two windows is found
    for (std::int64_t at = begin; at < end; at += HeaderWindow::windowBytes - overlap) {
        const std::int64_t length = std::min(HeaderWindow::windowBytes, end - at);
        const std::string_view bytes(reinterpret_cast<const char*>(file.bytes(at, length)),
                                     std::size_t(length));
        for (const std::string& name : names) {
            if (bytes.find(name) != std::string_view::npos)
                return true;
        }
        if (at + length == end)
            break;
    }
    return false;
}

struct Header {
    FileProperties properties;
    std::int64_t duration = 0;
    std::vector<Stream> streams; // in the order libavformat makes them
    std::int64_t dataStart = 0;  // where the media object's payload begins
    std::int64_t dataEnd = 0;    // where libavformat stops reading packets
};

Header headerOf(HeaderWindow& file)
{
    Cursor in{file, 0};
    if (in.guid() != headerObject)
        throw Declined{};
    in.skip(14);
    Header header;
    bool hasProperties = false;
    for (int objects = 0;; ++objects) {
        if (objects == mostObjects)
            throw Declined{};
        const std::int64_t start = in.at;
        const Guid type = in.guid();
        const std::uint64_t size = in.little64();
        if (type == dataObject) {
            // libavformat takes a size below 100 for none.
            header.dataEnd = size >= 100 ? start + std::int64_t(std::min<std::uint64_t>(
                                                       size, std::uint64_t(file.fileSize())))
                                         : file.fileSize();
            in.skip(26);
            header.dataStart = in.at;
            return header;
        }
        if (size < 24 || size > std::uint64_t(file.fileSize() - start))
            throw Declined{};
        if (type == headerExtensionObject) {
            in.skip(22); // libavformat reads the objects inside as if they were outside
            continue;
        }
        if (type == extendedStreamPropertiesObject) {
            skipExtendedStreamProperties(in);
            continue;
        }
        // Streams are timed by the file properties read before them: the reader takes them only
        // after one set. Encryption libavformat refuses.
        if (type == filePropertiesObject) {
            if (hasProperties || size < 104)
                throw Declined{};
            header.properties = filePropertiesOf(in);
            header.duration = streamDuration(header.properties, file.fileSize());
            hasProperties = true;
        } else if (type == streamPropertiesObject) {
            const Stream stream = playingStream(in, std::int64_t(size));
            if (!hasProperties || header.streams.size() == mostStreams ||
                std::ranges::count(header.streams, stream.number, &Stream::number) != 0)
                throw Declined{};
            header.streams.push_back(stream);
        } else if (type == contentEncryptionObject ||
                   namesPictures(file, start + 24, start + std::int64_t(size))) {
            throw Declined{};
        }
        in.at = start + std::int64_t(size);
    }
}

// A data packet's header as libavformat reads it, with what is left of the packet after it.
struct Packet {
    std::uint32_t widths = 0;       // of each payload's fields
    std::uint32_t sizeWidth = 0x80; // of each payload's size, when there are several
    bool severalPayloads = false;
    int payloadsLeft = 1;
    std::int64_t bytesLeft = 0; // for the payloads
    std::int64_t padding = 0;   // after them
};

// The first packet tells whether each starts with error correction data; libavformat then looks
// for that data at the start of every packet, searching on where it is not.
Packet packetAt(Cursor& in, const FileProperties& properties, std::optional<bool>& corrected)
{
    int headerBytes = 8;
    std::uint32_t flags = in.byte();
    const bool correction = (flags & 0x80) != 0;
    if (corrected.value_or(correction) != correction)
        throw Declined{};
    corrected = correction;
    if (correction) {
        if (flags != 0x82 || in.byte() != 0 || in.byte() != 0)
            throw Declined{};
        headerBytes += 3;
        flags = in.byte();
    }
    Packet packet;
    packet.widths = in.byte();
    const std::uint32_t length = in.sized(flags >> 5, properties.maxPacket, headerBytes);
    in.sized(flags >> 1, 0, headerBytes); // sequence
    packet.padding = in.sized(flags >> 3, 0, headerBytes);
    if (length == 0 || length >= largestPacket || packet.padding >= length)
        throw Declined{};
    in.skip(6); // send time and duration
    packet.severalPayloads = (flags & 1) != 0;
    if (packet.severalPayloads) {
        packet.sizeWidth = in.byte();
        ++headerBytes;
        packet.payloadsLeft = int(packet.sizeWidth & 0x3F);
    }
    if (headerBytes > std::int64_t(length) - packet.padding)
        throw Declined{};
    packet.bytesLeft = std::int64_t(length) - packet.padding - headerBytes;
    if (length < properties.minPacket)
        packet.padding += properties.minPacket - length;
    return packet;
}

// A payload: a piece of one stream's media object.
struct Payload {
    std::uint32_t streamNumber = 0;
    std::uint32_t offset = 0; // into the object
    std::uint32_t objectSize = 0;
    std::int64_t time = 0; // the object's, in ms
    std::int64_t size = 0;
};

Payload payloadAt(Cursor& in, Packet& packet)
{
    int headerBytes = 1;
    Payload payload;
    payload.streamNumber = in.byte() & 0x7F;
    --packet.payloadsLeft;
    in.sized(packet.widths >> 4, 0, headerBytes); // object number
    payload.offset = in.sized(packet.widths >> 2, 0, headerBytes);
    const std::uint32_t replicated = in.sized(packet.widths, 0, headerBytes);
    // Payloads grouped with one time for all, or without their object's size and time, are left
    // to libavformat.
    if (replicated < 8 || headerBytes + std::int64_t(replicated) > packet.bytesLeft)
        throw Declined{};
    payload.objectSize = in.little32();
    payload.time = in.little32();
    in.skip(replicated - 8);
    headerBytes += int(replicated);
    if (payload.objectSize == 0 || payload.objectSize >= largestObject)
        throw Declined{};
    payload.size = packet.bytesLeft - headerBytes;
    if (packet.severalPayloads) {
        payload.size = in.sized(packet.sizeWidth >> 6, 0, headerBytes);
        if (headerBytes > packet.bytesLeft || payload.size > packet.bytesLeft - headerBytes)
            throw Declined{};
    }
    packet.bytesLeft -= headerBytes;
    return payload;
}

// One stream's media object as libavformat gathers it from payloads.
struct Gathering {
    std::uint32_t size = 0; // 0 while none is open
    std::uint32_t filled = 0;
    std::int64_t time = 0;
};

// Follows the data packets as libavformat splits them into payloads, and gives the time of the
// first media object of each stream that libavformat's short analysis reads: it reads until every
// stream has begun, or until an audio stream's fourth packet. Declines at anything it does not
// follow exactly, and where the analysis might stop otherwise (its probe size, a video stream's
// thirtieth packet).
std::vector<std::int64_t> firstTimes(HeaderWindow& file, const Header& header)
{
    const std::size_t streamCount = header.streams.size();
    std::vector<std::int64_t> first;
    std::vector<Gathering> gathering(streamCount);
    std::vector<int> completed(streamCount);
    std::vector<std::uint32_t> thirdSize(streamCount);
    std::int64_t analysed = 0;
    std::optional<bool> corrected;
    std::int64_t position = header.dataStart;
    for (int packets = 0; first.size() < streamCount; ++packets) {
        if (packets == mostPackets || position >= header.dataEnd)
            throw Declined{};
        Cursor in{file, position};
        Packet packet = packetAt(in, header.properties, corrected);
        while (first.size() < streamCount && packet.bytesLeft >= 6 && packet.payloadsLeft >= 1) {
            const Payload payload = payloadAt(in, packet);
            const auto known =
                std::ranges::find(header.streams, payload.streamNumber, &Stream::number);
            const auto stream = std::size_t(known - header.streams.begin());
            // A stream the header does not describe, and the rest of an object whose start was
            // not seen, libavformat steps over.
            if (known == header.streams.end() ||
                (gathering[stream].filled == 0 && payload.offset != 0)) {
                in.skip(payload.size);
                packet.bytesLeft -= payload.size;
                continue;
            }
            Gathering& object = gathering[stream];
            if (object.size != payload.objectSize || object.filled + payload.size > object.size)
                object = {payload.objectSize, 0, payload.time - header.properties.preroll};
            packet.bytesLeft -= payload.size;
            if (packet.bytesLeft < 0 || payload.offset >= object.size ||
                payload.size > object.size - payload.offset)
                throw Declined{};
            in.skip(payload.size);
            object.filled += std::uint32_t(payload.size);
            if (object.filled < object.size)
                continue;
            if (analysed >= analysisBytes)
                throw Declined{};
            const int count = ++completed[stream];
            if (count == 1)
                first.push_back(object.time);
            if (count == 3)
                thirdSize[stream] = object.size;
            analysed += object.size;
            object = {};
            // libavformat stops at an audio stream's fourth packet when the third lasts a
            // millisecond; it reads video, whose packets it gives no duration, much further.
            if (count == 4 && !header.streams[stream].video) {
                if (!header.streams[stream].lastsAMillisecond(thirdSize[stream]))
                    throw Declined{};
                return first;
            }
            if (count == mostVideoPackets)
                throw Declined{};
        }
        position = in.at + packet.bytesLeft + packet.padding;
    }
    return first;
}

MediaProbe read(HeaderWindow& file)
{
    const Header header = headerOf(file);
    if (header.streams.empty() || header.duration <= 0)
        throw Declined{};
    // libavformat gives each stream the same duration from its start: the file lasts that long
    // from the earliest start it saw to the latest end.
    const auto [earliest, latest] = std::ranges::minmax(firstTimes(file, header));
    if (latest - earliest >= widestStartSpread)
        throw Declined{};
    return MediaProbe{true, double((header.duration + latest - earliest) * 1000) / 1000000};
}

} // namespace

std::span<const AsfCodec> asfVideoCodecs()
{
    return videoCodecs;
}

std::span<const WaveCodec> asfAudioCodecs()
{
    return audioCodecs;
}

std::optional<MediaProbe> readAsfHeader(HeaderWindow& file)
{
    return unlessDeclined([&file] { return read(file); });
}

} // namespace quillmark
