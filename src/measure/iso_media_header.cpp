#include "measure/iso_media_header.h"

#include "measure/libav_module.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace quillmark {

namespace {

constexpr std::uint32_t fourCC(const char (&name)[5])
{
    return std::uint32_t(std::uint8_t(name[0])) << 24 | std::uint32_t(std::uint8_t(name[1])) << 16 |
           std::uint32_t(std::uint8_t(name[2])) << 8 | std::uint32_t(std::uint8_t(name[3]));
}

// A box header is 8 bytes, or 16 with a 64-bit size.
constexpr std::int64_t smallestBox = 8;

// Real files hold a few dozen boxes; a crafted one that holds more is left to libavformat.
constexpr int mostBoxes = 2048;

using Declined = HeaderDeclined;

struct Box {
    std::uint32_t type = 0;
    std::int64_t payload = 0;
    std::int64_t end = 0;
};

// Boxes that make the movie fragmented, compressed or nested in ways the reader leaves alone.
bool isDeclinedInsideMovie(std::uint32_t type)
{
    return type == fourCC("mvex") || type == fourCC("cmov") || type == fourCC("moov") ||
           type == fourCC("moof") || type == fourCC("trex");
}

// Boxes that describe a track, which libavformat reads as the last track's wherever they stand:
// one outside its place in a track changes or refuses the track, and is declined.
constexpr std::uint32_t trackBoxes[] = {
    fourCC("tkhd"), fourCC("mdia"), fourCC("mdhd"), fourCC("hdlr"), fourCC("minf"), fourCC("stbl"),
    fourCC("stsd"), fourCC("stts"), fourCC("stsc"), fourCC("stsz"), fourCC("stz2"), fourCC("stco"),
    fourCC("co64"), fourCC("ctts"), fourCC("stss"), fourCC("edts"), fourCC("elst"), fourCC("esds"),
    fourCC("avcC"), fourCC("hvcC"), fourCC("wave"), fourCC("dinf"), fourCC("dref")};

bool describesATrack(std::uint32_t type)
{
    return std::find(std::begin(trackBoxes), std::end(trackBoxes), type) != std::end(trackBoxes);
}

constexpr std::uint32_t videoEverywhere[] = {fourCC("avc1"), fourCC("avc3"), fourCC("hvc1"),
                                             fourCC("hev1"), fourCC("mp4v"), fourCC("vp09")};
constexpr std::uint32_t audioEverywhere[] = {
    fourCC("mp4a"), fourCC("ac-3"), fourCC("ec-3"), fourCC("alac"), fourCC("Opus"),
    fourCC("fLaC"), fourCC(".mp3"), fourCC("sowt"), fourCC("twos"), fourCC("lpcm")};

bool isPlayable(std::uint32_t handler, std::uint32_t sampleEntry)
{
    if (sampleEntry == 0 || sampleEntry == fourCC("mp4s"))
        return false;
    const std::span<const std::uint32_t> known = codesPlayableEverywhere(handler);
    if (std::find(known.begin(), known.end(), sampleEntry) != known.end())
        return true;
    const LibavModule* libav = libavModule();
    return libav && libav->movCodecPlays(handler, sampleEntry);
}

// libavformat's av_rescale(a, b, c) for positive values with b and c below 2^31, step by step as
// it does it: a * b / c rounded to the nearest, half away from zero; nothing when it does not fit.
std::optional<std::int64_t> rescaled(std::int64_t a, std::int64_t b, std::int64_t c)
{
    constexpr std::int64_t int32Max = std::numeric_limits<std::int32_t>::max();
    const std::int64_t half = c / 2;
    if (a <= int32Max)
        return (a * b + half) / c;
    const std::int64_t whole = a / c;
    const std::int64_t rest = (a % c * b + half) / c;
    if (whole > (std::numeric_limits<std::int64_t>::max() - rest) / b)
        return std::nullopt;
    return whole * b + rest;
}

class Parser {
public:
    explicit Parser(HeaderWindow& file)
        : m_file(file)
    {
    }

    MediaProbe movie()
    {
        std::optional<MediaProbe> movie;
        std::int64_t offset = 0;
        // Fewer bytes than a header after the last box are ignored, as libavformat does.
        while (m_file.fileSize() - offset >= smallestBox) {
            const Box box = boxAt(offset, m_file.fileSize(), true);
            if (offset == 0 && box.type != fourCC("ftyp"))
                throw Declined{};
            if (box.type == fourCC("moov")) {
                if (movie)
                    throw Declined{};
                movie = readMovie(box);
            } else if (box.type != fourCC("mdat") && box.type != fourCC("free") &&
                       box.type != fourCC("skip") && box.type != fourCC("wide") &&
                       !(box.type == fourCC("ftyp") && offset == 0)) {
                throw Declined{};
            }
            offset = box.end;
        }
        if (!movie)
            throw Declined{};
        return *movie;
    }

private:
    // A box that lies inside its parent. A top-level box of size 0 runs to the end of the file,
    // and the media data of a file cut short may run past it: libavformat reads both.
    Box boxAt(std::int64_t offset, std::int64_t parentEnd, bool topLevel)
    {
        if (--m_boxesLeft < 0)
            throw Declined{};
        const std::uint8_t* header = m_file.bytes(offset, smallestBox);
        Box box{bigEndian<std::uint32_t>(header + 4), offset + smallestBox, 0};
        std::uint64_t size = bigEndian<std::uint32_t>(header);
        if (size == 1) {
            size = bigEndian<std::uint64_t>(m_file.bytes(offset + smallestBox, 8));
            box.payload += 8;
        } else if (size == 0 && topLevel) {
            size = std::uint64_t(parentEnd - offset);
        }
        if (size < std::uint64_t(box.payload - offset) ||
            size > std::uint64_t(std::numeric_limits<std::int64_t>::max() - offset))
            throw Declined{};
        box.end = offset + std::int64_t(size);
        if (box.end > parentEnd) {
            if (!topLevel || box.type != fourCC("mdat"))
                throw Declined{};
            box.end = parentEnd;
        }
        return box;
    }

    // Calls visit on each child until it returns false.
    template <typename Visit> void forEachChild(const Box& parent, Visit visit)
    {
        std::int64_t offset = parent.payload;
        while (parent.end - offset >= smallestBox) {
            const Box child = boxAt(offset, parent.end, false);
            if (!visit(child))
                return;
            offset = child.end;
        }
    }

    std::uint32_t field32(const Box& box, std::int64_t at)
    {
        if (box.end - box.payload < at + 4)
            throw Declined{};
        return bigEndian<std::uint32_t>(m_file.bytes(box.payload + at, 4));
    }

    MediaProbe readMovie(const Box& moov)
    {
        std::optional<double> seconds;
        bool playable = false;
        forEachChild(moov, [&](const Box& child) {
            if (child.type == fourCC("mvhd")) {
                if (seconds)
                    throw Declined{};
                seconds = movieSeconds(child);
            } else if (child.type == fourCC("trak")) {
                playable = readTrack(child) || playable;
            } else if (isDeclinedInsideMovie(child.type) || describesATrack(child.type)) {
                throw Declined{};
            }
            return true;
        });
        if (!seconds || !playable)
            throw Declined{};
        return MediaProbe{true, seconds};
    }

    // The movie's duration as libavformat states it: rescaled to microseconds, rounded to the
    // nearest. An unknown or zero duration (a fragmented or unfinished file) is declined.
    double movieSeconds(const Box& mvhd)
    {
        const std::uint32_t versionAndFlags = field32(mvhd, 0);
        const std::uint32_t version = versionAndFlags >> 24;
        if (version > 1)
            throw Declined{};
        const std::int64_t timescaleAt = version == 1 ? 20 : 12;
        const auto timescale = std::int32_t(field32(mvhd, timescaleAt));
        const std::uint64_t duration = version == 1
                                           ? std::uint64_t(field32(mvhd, timescaleAt + 4)) << 32 |
                                                 field32(mvhd, timescaleAt + 8)
                                           : field32(mvhd, timescaleAt + 4);
        const std::uint64_t unknown = version == 1 ? ~std::uint64_t(0) : 0xffffffffu;
        if (timescale <= 0 || duration == 0 || duration == unknown ||
            duration > std::uint64_t(std::numeric_limits<std::int64_t>::max()))
            throw Declined{};
        constexpr std::int64_t microsecondsPerSecond = 1000000; // AV_TIME_BASE
        const std::optional<std::int64_t> microseconds =
            rescaled(std::int64_t(duration), microsecondsPerSecond, timescale);
        if (!microseconds || *microseconds <= 0)
            throw Declined{};
        return double(*microseconds) / microsecondsPerSecond;
    }

    // Whether the track plays. A track that lists chapters may make a video track a series of
    // thumbnails, which libavformat then counts as cover art.
    bool readTrack(const Box& trak)
    {
        bool playable = false;
        bool media = false;
        bool header = false;
        forEachChild(trak, [&](const Box& child) {
            if (child.type == fourCC("tkhd")) {
                if (std::exchange(header, true))
                    throw Declined{};
            } else if (child.type == fourCC("tref")) {
                forEachChild(child, [](const Box& reference) {
                    if (reference.type == fourCC("chap"))
                        throw Declined{};
                    return true;
                });
            } else if (child.type == fourCC("mdia")) {
                // libavformat refuses a track described twice.
                if (std::exchange(media, true))
                    throw Declined{};
                playable = readMedia(child);
            } else if (child.type == fourCC("mvhd") || isDeclinedInsideMovie(child.type) ||
                       (child.type != fourCC("edts") && describesATrack(child.type))) {
                throw Declined{};
            }
            return true;
        });
        return playable;
    }

    // The handler must come before the sample description: libavformat maps the codec by it.
    bool readMedia(const Box& mdia)
    {
        std::optional<std::uint32_t> handler;
        std::optional<SampleEntry> sampleEntry;
        bool mediaHeader = false;
        forEachChild(mdia, [&](const Box& child) {
            if (child.type == fourCC("mdhd")) {
                if ((field32(child, 0) >> 24) > 1 || std::exchange(mediaHeader, true))
                    throw Declined{};
            } else if (child.type == fourCC("hdlr")) {
                if (handler || sampleEntry)
                    throw Declined{};
                handler = field32(child, 8);
            } else if (child.type == fourCC("minf")) {
                if (!handler || sampleEntry)
                    throw Declined{};
                sampleEntry = readMediaInformation(child);
            }
            return true;
        });
        if (!handler || !sampleEntry)
            return false;
        if (*handler != fourCC("vide") && *handler != fourCC("soun"))
            return false;
        if (sampleEntry->code == fourCC("mp4a") && !sampleEntry->decodableAudio)
            throw Declined{};
        return isPlayable(*handler, sampleEntry->code);
    }

    struct SampleEntry {
        std::uint32_t code = 0;
        // For "mp4a": its elementary stream descriptor names a decoder and gives it its
        // configuration.
        bool decodableAudio = false;
    };

    // The one sample table and its one sample description. A handler in here of a media type
    // makes libavformat take the track for that type instead (a QuickTime data handler is
    // "alis" or "url ", no type); a second table is refused.
    SampleEntry readMediaInformation(const Box& minf)
    {
        std::optional<SampleEntry> entry;
        forEachChild(minf, [&](const Box& child) {
            if (child.type == fourCC("hdlr")) {
                const std::uint32_t type = field32(child, 8);
                if (type == fourCC("vide") || type == fourCC("soun") || type == fourCC("subp") ||
                    type == fourCC("clcp") || type == fourCC("m1a "))
                    throw Declined{};
            } else if (child.type == fourCC("stbl")) {
                if (entry)
                    throw Declined{};
                entry = readSampleTable(child);
            }
            return true;
        });
        if (!entry)
            throw Declined{};
        return *entry;
    }

    // The sample description, and no second one among the small tables that follow it: once a
    // table larger than a window comes (the sizes, the offsets of a film), the rest is skipped.
    SampleEntry readSampleTable(const Box& stbl)
    {
        std::optional<SampleEntry> entry;
        forEachChild(stbl, [&](const Box& table) {
            if (table.type != fourCC("stsd"))
                return table.end - table.payload <= HeaderWindow::windowBytes;
            if (entry || field32(table, 4) != 1)
                throw Declined{};
            const std::uint32_t entrySize = field32(table, 8);
            if (entrySize < 16 || entrySize > std::uint64_t(table.end - table.payload - 8))
                throw Declined{};
            const Box box{field32(table, 12), table.payload + 16,
                          table.payload + 8 + std::int64_t(entrySize)};
            if (box.type == fourCC("mp4v"))
                checkVideoDescriptor(box);
            entry = SampleEntry{box.type, box.type == fourCC("mp4a") && audioDecodable(box)};
            return true;
        });
        if (!entry)
            throw Declined{};
        return *entry;
    }

    // An "mp4a" sample entry: the sound description's fields (longer in QuickTime's versions 1
    // and 2), then boxes, the descriptor among them or in a "wave" box.
    bool audioDecodable(const Box& entry)
    {
        // Six reserved bytes and the data reference index, then the version and the rest.
        constexpr std::int64_t soundFields = 28;
        const std::uint32_t version = field32(entry, 8) >> 16;
        const std::int64_t extra = version == 1 ? 16 : version == 2 ? 36 : version == 0 ? 0 : -1;
        if (extra < 0 || entry.end - entry.payload < soundFields + extra)
            throw Declined{};
        return descriptorDecodable(Box{entry.type, entry.payload + soundFields + extra, entry.end},
                                   0);
    }

    // An "mp4v" sample entry: the picture description's fields, then boxes.
    void checkVideoDescriptor(const Box& entry)
    {
        constexpr std::int64_t pictureFields = 78;
        if (entry.end - entry.payload < pictureFields)
            return;
        forEachChild(Box{entry.type, entry.payload + pictureFields, entry.end},
                     [&](const Box& child) {
                         if (child.type == fourCC("esds"))
                             readEsds(child);
                         return true;
                     });
    }

    bool descriptorDecodable(const Box& parent, int waves)
    {
        // libavformat refuses boxes nested deeper than its limit: seven "wave" boxes here.
        if (waves >= 7)
            throw Declined{};
        bool decodable = false;
        forEachChild(parent, [&](const Box& child) {
            if (child.type == fourCC("wave"))
                decodable = descriptorDecodable(child, waves + 1) || decodable;
            else if (child.type == fourCC("esds"))
                decodable = esdsDecodable(child) || decodable;
            return true;
        });
        return decodable;
    }

    // An MPEG-4 elementary stream descriptor: AAC with its configuration, or MP3. Anything else
    // (an empty configuration, the "systems" type, which no decoder takes) goes to libavformat.
    bool esdsDecodable(const Box& esds)
    {
        const std::optional<StreamDescriptor> stream = readEsds(esds);
        if (!stream)
            return false;
        const std::uint8_t type = stream->objectType;
        const bool aac = type == 0x40 || (type >= 0x66 && type <= 0x68);
        return type == 0x69 || type == 0x6B || (aac && stream->configured);
    }

    struct StreamDescriptor {
        std::uint8_t objectType = 0;
        bool configured = false; // a specific configuration of at least a byte
    };

    // A configuration that runs past its box is read from whatever follows by libavformat, and
    // makes it refuse the file where the file ends first: declined, in video as in audio.
    std::optional<StreamDescriptor> readEsds(const Box& esds)
    {
        const std::int64_t size = esds.end - esds.payload;
        if (size < 4 || size > HeaderWindow::windowBytes)
            throw Declined{};
        const std::uint8_t* bytes = m_file.bytes(esds.payload, size);
        Descriptors read(bytes + 4, bytes + size);
        if (read.tag() != 0x03)
            return std::nullopt;
        read.skip(2);
        const std::uint8_t flags = read.byte();
        if (flags & 0x80)
            read.skip(2);
        if (flags & 0x40)
            read.skip(read.byte());
        if (flags & 0x20)
            read.skip(2);
        if (read.tag() != 0x04)
            return std::nullopt;
        StreamDescriptor stream{read.byte(), false};
        read.skip(12);
        if (read.remaining() > 0 && read.tag() == 0x05) {
            read.skip(read.length());
            stream.configured = read.length() > 0;
        }
        return stream;
    }

    // The descriptors of an "esds": a tag, then a length in up to four bytes of seven bits.
    class Descriptors {
    public:
        Descriptors(const std::uint8_t* begin, const std::uint8_t* end)
            : m_at(begin)
            , m_end(end)
        {
        }
        std::uint8_t byte()
        {
            if (m_at == m_end)
                throw Declined{};
            return *m_at++;
        }
        void skip(std::int64_t count)
        {
            if (m_end - m_at < count)
                throw Declined{};
            m_at += count;
        }
        // A descriptor's tag; its length is then at hand.
        std::uint8_t tag()
        {
            const std::uint8_t tag = byte();
            m_length = 0;
            for (int i = 0; i < 4; ++i) {
                const std::uint8_t next = byte();
                m_length = m_length << 7 | (next & 0x7F);
                if (!(next & 0x80))
                    break;
            }
            return tag;
        }
        std::int64_t length() const { return m_length; }
        std::int64_t remaining() const { return m_end - m_at; }

    private:
        const std::uint8_t* m_at;
        const std::uint8_t* m_end;
        std::int64_t m_length = 0;
    };

    HeaderWindow& m_file;
    int m_boxesLeft = mostBoxes;
};

} // namespace

std::span<const std::uint32_t> codesPlayableEverywhere(std::uint32_t handler)
{
    if (handler == fourCC("vide"))
        return videoEverywhere;
    return audioEverywhere;
}

std::optional<MediaProbe> readIsoMediaHeader(HeaderWindow& file)
{
    return unlessDeclined([&file] { return Parser(file).movie(); });
}

} // namespace quillmark
