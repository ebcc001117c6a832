#include "measure/matroska_header.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace quillmark {

namespace {

enum Id : std::uint32_t {
    ebmlHeader = 0x1A45DFA3,
    ebmlReadVersion = 0x42F7,
    ebmlMaxIdLength = 0x42F2,
    ebmlMaxSizeLength = 0x42F3,
    docType = 0x4282,
    docTypeReadVersion = 0x4285,
    segment = 0x18538067,
    info = 0x1549A966,
    timestampScale = 0x2AD7B1,
    duration = 0x4489,
    tracks = 0x1654AE6B,
    trackEntry = 0xAE,
    trackType = 0x83,
    codecId = 0x86,
    contentEncodings = 0x6D80,
    video = 0xE0,
    projection = 0x7670,
    audio = 0xE1,
    samplingFrequency = 0xB5,
    cluster = 0x1F43B675,
};

// The integers of a track, its video and its audio that libavformat reads: one longer than eight
// bytes makes it stop reading the track list there.
constexpr std::uint32_t trackIntegers[] = {
    0xD7,     0x73C5, 0x83,   0xB9,   0x88,   0x55AA, 0x9C,   0x6DE7, 0x6DF8,
    0x23E383, 0x55EE, 0x56AA, 0x56BB, 0xAA,   0x55AB, 0x55AC, 0x55AD, 0x55AE,
    0x55AF,   0xB0,   0xBA,   0x54B0, 0x54BA, 0x54B2, 0x9A,   0x9D,   0x53B8,
    0x53C0,   0x54AA, 0x54BB, 0x54CC, 0x54DD, 0x54B3, 0x9F,   0x6264};

// Elements inside a track that hold elements of their own, which libavformat reads too: one that
// is not well formed makes it stop reading the track list there. The colour's integers, and the
// mastering metadata's floats, are checked as it checks them.
constexpr std::uint32_t colour = 0x55B0;
constexpr std::uint32_t masteringMetadata = 0x55D0;
constexpr std::uint32_t nestedInTracks[] = {
    colour, masteringMetadata, 0xE2, 0xE3, 0xE4, 0xE9, 0x41E4, 0x6624};

constexpr std::uint64_t videoTrack = 1;
constexpr std::uint64_t audioTrack = 2;

// Real headers hold a few dozen elements; a crafted one that holds more is left to libavformat.
constexpr int mostElements = 1024;

constexpr MatroskaCodec videoCodecs[] = {
    {"V_MPEG4/ISO/AVC", "h264"},
    {"V_MPEGH/ISO/HEVC", "hevc"},
    {"V_MPEG4/ISO/ASP", "mpeg4"},
    {"V_MPEG4/ISO/SP", "mpeg4"},
    {"V_MPEG4/ISO/AP", "mpeg4"},
    {"V_VP8", "vp8"},
    {"V_VP9", "vp9"},
    {"V_MPEG2", "mpeg2video"},
    {"V_MPEG1", "mpeg1video"},
};
constexpr MatroskaCodec audioCodecs[] = {
    {"A_AAC", "aac"}, {"A_OPUS", "opus"}, {"A_VORBIS", "vorbis"},    {"A_FLAC", "flac"},
    {"A_AC3", "ac3"}, {"A_EAC3", "eac3"}, {"A_MPEG/L3", "mp3float"}, {"A_MPEG/L2", "mp2float"},
};

using Declined = HeaderDeclined;

struct Element {
    std::uint32_t id = 0;
    std::int64_t payload = 0;
    std::int64_t end = 0;
    bool unknownSize = false;
};

class Parser {
public:
    explicit Parser(HeaderWindow& file)
        : m_file(file)
    {
    }

    MediaProbe movie()
    {
        const Element header = elementAt(0, m_file.fileSize());
        if (header.id != ebmlHeader)
            throw Declined{};
        readEbmlHeader(header);
        const Element body = elementAt(header.end, m_file.fileSize());
        if (body.id != segment)
            throw Declined{};
        return readSegment(body);
    }

private:
    // An element inside its parent; only a segment or a cluster may leave its size unknown.
    Element elementAt(std::int64_t offset, std::int64_t parentEnd)
    {
        if (--m_elementsLeft < 0)
            throw Declined{};
        int idLength = 0;
        const std::uint64_t id = number(offset, 4, true, idLength);
        int sizeLength = 0;
        const std::uint64_t size = number(offset + idLength, 8, false, sizeLength);
        Element element{std::uint32_t(id), offset + idLength + sizeLength, 0, false};
        if (element.payload > parentEnd)
            throw Declined{};
        const std::uint64_t allOnes = (std::uint64_t(1) << (7 * sizeLength)) - 1;
        if (size == allOnes) {
            if (element.id != segment && element.id != cluster)
                throw Declined{};
            element.unknownSize = true;
            element.end = parentEnd;
            return element;
        }
        if (size > std::uint64_t(parentEnd - element.payload))
            throw Declined{};
        element.end = element.payload + std::int64_t(size);
        return element;
    }

    // A variable-length number of at most `longest` bytes: an ID keeps its length marker, a size
    // does not.
    std::uint64_t number(std::int64_t offset, int longest, bool keepMarker, int& length)
    {
        const std::uint8_t first = *m_file.bytes(offset, 1);
        length = first == 0 ? 9 : std::countl_zero(first) + 1;
        if (length > longest)
            throw Declined{};
        const std::uint8_t* bytes = m_file.bytes(offset, length);
        std::uint64_t value = keepMarker ? first : first & (0xFF >> length);
        for (int i = 1; i < length; ++i)
            value = value << 8 | bytes[i];
        return value;
    }

    template <typename Visit> void forEachChild(const Element& parent, Visit visit)
    {
        std::int64_t offset = parent.payload;
        while (offset < parent.end) {
            const Element child = elementAt(offset, parent.end);
            if (!visit(child))
                return;
            offset = child.end;
        }
    }

    std::uint64_t unsignedValue(const Element& element)
    {
        const std::int64_t size = element.end - element.payload;
        if (size > 8)
            throw Declined{};
        return bigEndian<std::uint64_t>(m_file.bytes(element.payload, size), int(size));
    }

    double floatValue(const Element& element)
    {
        const std::int64_t size = element.end - element.payload;
        const std::uint64_t bits = unsignedValue(element);
        if (size == 4)
            return std::bit_cast<float>(std::uint32_t(bits));
        if (size == 8)
            return std::bit_cast<double>(bits);
        if (size == 0)
            return 0;
        throw Declined{};
    }

    // A string ends at its first zero byte, as libavformat reads it.
    std::string text(const Element& element)
    {
        const std::int64_t size = element.end - element.payload;
        if (size > 256)
            throw Declined{};
        const auto* bytes = reinterpret_cast<const char*>(m_file.bytes(element.payload, size));
        return std::string(bytes, std::find(bytes, bytes + size, '\0'));
    }

    // Versions and limits libavformat reads; anything beyond the common is declined.
    void readEbmlHeader(const Element& header)
    {
        std::string type;
        forEachChild(header, [&](const Element& child) {
            const bool tooNew = (child.id == ebmlReadVersion && unsignedValue(child) > 1) ||
                                (child.id == ebmlMaxIdLength && unsignedValue(child) > 4) ||
                                (child.id == ebmlMaxSizeLength && unsignedValue(child) > 8) ||
                                (child.id == docTypeReadVersion && unsignedValue(child) > 2);
            if (tooNew)
                throw Declined{};
            if (child.id == docType)
                type = text(child);
            return true;
        });
        if (type != "matroska" && type != "webm")
            throw Declined{};
    }

    // Info and Tracks, once each, before the first cluster.
    MediaProbe readSegment(const Element& body)
    {
        std::optional<double> seconds;
        std::optional<bool> playable;
        forEachChild(body, [&](const Element& child) {
            if (child.id == cluster)
                return false;
            if (child.id == info) {
                if (seconds)
                    throw Declined{};
                seconds = movieSeconds(child);
            } else if (child.id == tracks) {
                if (playable)
                    throw Declined{};
                playable = readTracks(child);
            }
            return !seconds || !playable;
        });
        if (!seconds || !playable || !*playable)
            throw Declined{};
        return MediaProbe{true, seconds};
    }

    // As libavformat computes it: the duration in timestamp units, times the scale (nanoseconds
    // per unit), in microseconds, cut to a whole number of them.
    double movieSeconds(const Element& element)
    {
        double units = 0;
        std::uint64_t scale = 1000000;
        forEachChild(element, [&](const Element& child) {
            if (child.id == duration)
                units = floatValue(child);
            else if (child.id == timestampScale)
                scale = unsignedValue(child);
            return true;
        });
        // libavformat refuses a scale that does not fit in 32 bits.
        if (scale > std::numeric_limits<std::uint32_t>::max())
            throw Declined{};
        if (scale == 0)
            scale = 1000000;
        const double microseconds = units * double(scale) * 1000 / 1000000;
        if (!(microseconds >= 1) || microseconds >= 9.0e18)
            throw Declined{};
        return double(std::int64_t(microseconds)) / 1000000;
    }

    bool readTracks(const Element& element)
    {
        bool playable = false;
        forEachChild(element, [&](const Element& child) {
            if (child.id == trackEntry)
                playable = readTrack(child) || playable;
            return true;
        });
        return playable;
    }

    // A track whose codec the tables name for its type; one with encodings (compressed or
    // encrypted) is declined, and so are an audio track whose sampling rate libavformat refuses
    // and a video track with a projection.
    bool readTrack(const Element& entry)
    {
        std::uint64_t type = 0;
        std::string codec;
        forEachChild(entry, [&](const Element& child) {
            checkLength(child);
            if (child.id == contentEncodings)
                throw Declined{};
            if (child.id == trackType)
                type = unsignedValue(child);
            else if (child.id == codecId)
                codec = text(child);
            else if (child.id == audio)
                checkAudio(child);
            else if (child.id == video)
                checkVideo(child);
            return true;
        });
        const std::span<const MatroskaCodec> known = type == videoTrack ? matroskaVideoCodecs()
                                                     : type == audioTrack
                                                         ? matroskaAudioCodecs()
                                                         : std::span<const MatroskaCodec>();
        return isKnownCodec(known, std::string_view(codec));
    }

    // A projection (360° video) libavformat checks against its private data, and refuses the
    // file when they disagree: left to it.
    void checkVideo(const Element& element)
    {
        forEachChild(element, [this](const Element& child) {
            checkLength(child);
            if (child.id == projection)
                throw Declined{};
            return true;
        });
    }

    void checkAudio(const Element& element)
    {
        forEachChild(element, [&](const Element& child) {
            checkLength(child);
            if (child.id == samplingFrequency) {
                const double rate = floatValue(child);
                if (!(rate > 0) || rate > double(std::numeric_limits<int>::max()))
                    throw Declined{};
            }
            return true;
        });
    }

    // An element of a track as libavformat reads it: integers at most eight bytes long, and the
    // elements nested in it well formed.
    void checkLength(const Element& element)
    {
        const std::int64_t size = element.end - element.payload;
        const bool integer = std::find(std::begin(trackIntegers), std::end(trackIntegers),
                                       element.id) != std::end(trackIntegers) ||
                             (element.id > colour && element.id <= 0x55BD);
        const bool real = element.id > masteringMetadata && element.id <= 0x55DA;
        if ((integer && size > 8) || (real && size != 0 && size != 4 && size != 8))
            throw Declined{};
        if (std::find(std::begin(nestedInTracks), std::end(nestedInTracks), element.id) !=
            std::end(nestedInTracks))
            forEachChild(element, [this](const Element& child) {
                checkLength(child);
                return true;
            });
    }

    HeaderWindow& m_file;
    int m_elementsLeft = mostElements;
};

} // namespace

std::span<const MatroskaCodec> matroskaVideoCodecs()
{
    return videoCodecs;
}

std::span<const MatroskaCodec> matroskaAudioCodecs()
{
    return audioCodecs;
}

std::optional<MediaProbe> readMatroskaHeader(HeaderWindow& file)
{
    return unlessDeclined([&file] { return Parser(file).movie(); });
}

} // namespace quillmark
