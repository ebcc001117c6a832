#include "measure/mpegps_header.h"

#include "measure/audio_frames.h"
#include "measure/frame_rate_guess.h"
#include "measure/mpeg_timestamps.h"
#include "measure/mpeg_video_frames.h"
#include "measure/video_timestamps.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace quillmark {

namespace {

using Declined = HeaderDeclined;

constexpr std::int64_t ticksPerSecond = mpegTicksPerSecond;
// libavformat probes the format from the first 2,048 bytes, then twice as many each time until
// a score above 25.
constexpr std::int64_t firstProbeBytes = 2048;
constexpr std::int64_t lastProbeBytes = 64 * 1024;
constexpr int leastProbeScore = 26;
// How far libavformat's demuxer searches for the next start code at once.
constexpr std::int64_t longestSearch = 100000;
constexpr std::int64_t requestBytes = 256 * 1024;
constexpr std::int64_t mostAnalysedBytes = 4'000'000;
constexpr std::uint32_t packCode = 0x1BA;
constexpr std::uint32_t systemHeaderCode = 0x1BB;
constexpr std::uint32_t paddingCode = 0x1BE;
constexpr std::uint32_t navigationCode = 0x1BF;
constexpr std::uint32_t privateCode = 0x1BD;
constexpr std::int64_t presentationInfoBytes = 980; // a DVD navigation pack's PCI
constexpr std::int64_t searchInfoBytes = 1018;      // and its DSI

bool isAudio(std::uint32_t code)
{
    return code >= 0x1C0 && code <= 0x1DF;
}
bool isVideo(std::uint32_t code)
{
    return code >= 0x1E0 && code <= 0x1EF;
}
// An AC-3 stream of private stream 1, numbered as the demuxer numbers it.
bool isAc3(std::uint32_t code)
{
    return code >= 0x80 && code <= 0x87;
}

// The bytes from an offset, followed by zeros as libavformat pads what it probes.
std::vector<std::uint8_t> padded(HeaderWindow& file, std::int64_t offset, std::int64_t length)
{
    std::vector<std::uint8_t> bytes = readSpan(file, offset, length);
    bytes.resize(bytes.size() + 64);
    return bytes;
}

// Whether a start code at `at` (its last byte) opens a plausible PES header, as the program
// stream probe checks it.
bool looksLikePes(const std::uint8_t* at, const std::uint8_t* end)
{
    const bool mpeg2 = (at[3] & 0xC0) == 0x80 && (at[4] & 0xC0) != 0x40 &&
                       ((at[4] & 0xC0) == 0x00 || (at[4] & 0xC0) >> 2 == (at[6] & 0xF0));
    for (at += 3; at < end && *at == 0xFF; ++at) {
    }
    if ((*at & 0xC0) == 0x40)
        at += 2;
    bool mpeg1 = false;
    if ((*at & 0xF0) == 0x20)
        mpeg1 = at[0] & at[2] & at[4] & 1;
    else if ((*at & 0xF0) == 0x30)
        mpeg1 = at[0] & at[2] & at[4] & at[5] & at[7] & at[9] & 1;
    else
        mpeg1 = *at == 0x0F;
    return mpeg1 || mpeg2;
}

// The score libavformat's program stream probe gives the file's first bytes.
int programStreamScore(HeaderWindow& file, std::int64_t size)
{
    const std::vector<std::uint8_t> bytes = padded(file, 0, size);
    std::uint32_t code = 0xFFFFFFFF;
    int system = 0, packs = 0, private1 = 0, video = 0, audio = 0, invalid = 0;
    std::int64_t pesEnd = 0;
    const std::uint8_t* const buffer = bytes.data();
    for (std::int64_t i = 0; i < size; ++i) {
        code = (code << 8) + buffer[i];
        if ((code & 0xFFFFFF00) != 0x100)
            continue;
        const int length = buffer[i + 1] << 8 | buffer[i + 2];
        const bool pes = pesEnd <= i && looksLikePes(buffer + i, buffer + size);
        const bool pack = (buffer[i + 1] & 0xC0) == 0x40 || (buffer[i + 1] & 0xF0) == 0x20;
        if (code == systemHeaderCode)
            ++system;
        else if (code == packCode && pack)
            ++packs;
        else if ((code & 0xF0) == 0xE0 && pes) {
            pesEnd = i + length;
            ++video;
        } else if ((code & 0xE0) == 0xC0 && pes) {
            ++audio;
            i += length;
        } else if (code == 0x1BD && pes) {
            ++private1;
            i += length;
        } else if (code == 0x1FD && pes)
            ++video;
        else if ((code & 0xF0) == 0xE0 || (code & 0xE0) == 0xC0 || code == 0x1BD)
            ++invalid;
    }
    if (system > invalid && system * 9 <= packs * 10)
        return audio > 12 || video > 3 || packs > 2 ? 52 : 25 + (audio + video + packs > 1);
    if (packs > invalid && (private1 + video + audio) * 10 >= packs * 9)
        return packs > 2 ? 52 : 25;
    return 0;
}

// A PES packet of an audio or video stream as the demuxer hands it out.
struct Packet {
    std::uint32_t code = 0;
    std::int64_t position = 0;
    std::optional<std::int64_t> pts;
    std::optional<std::int64_t> dts;
    std::int64_t payloadAt = 0;
    std::int64_t size = 0;
};

// What the demuxer concludes from the first navigation packet (private stream 2) it reads, and
// keeps for the rest of the file: whether such packets are a DVD's, which it hands out as a data
// stream, or are skipped.
struct NavigationKind {
    bool known = false;
    bool dvd = false;
};

// The packets of audio and video streams from an offset, found as libavformat's demuxer finds
// them: the next start code, whatever lies between; packs and system headers read through for
// start codes, padding skipped by its length, a PES header it cannot read searched past.
class Packets {
public:
    Packets(HeaderWindow& file, std::int64_t offset, NavigationKind& navigation)
        : m_file(file)
        , m_at(offset)
        , m_navigation(navigation)
    {
    }

    std::optional<Packet> next()
    {
        for (;;) {
            const std::optional<std::uint32_t> code = nextStartCode();
            if (!code)
                return std::nullopt;
            const std::int64_t afterCode = m_at;
            if (*code == packCode || *code == systemHeaderCode)
                continue;
            if (*code == paddingCode) {
                m_at += word();
                continue;
            }
            if (*code == navigationCode) {
                if (!isNavigation())
                    continue;
                Packet packet{*code, m_at - 4, std::nullopt, std::nullopt, 0, 0};
                packet.size = word();
                packet.payloadAt = m_at;
                return whole(packet);
            }
            // Stream maps and extended streams each have a way of their own.
            if (*code == 0x1BC || *code == 0x1FD)
                throw Declined{};
            if (!isAudio(*code) && !isVideo(*code) && *code != privateCode)
                continue;
            std::optional<Packet> packet = header(*code);
            if (packet && packet->size >= 0 && *code == privateCode)
                packet = privatePayload(*packet);
            if (!packet)
                continue;
            if (packet->size < 0) {
                m_at = afterCode;
                continue;
            }
            return whole(*packet);
        }
    }

private:
    // A private stream's packet, past the stream's number and, for audio, the count of frames
    // and the pointer to the first: AC-3 only (on DVDs, 0x80 to 0x87); the rest (LPCM, DTS,
    // subtitles, AC-3 without the private header) is declined.
    Packet privatePayload(Packet packet)
    {
        const std::uint8_t number = next8();
        if (number < 0x80 || number > 0x87 || packet.size < 1 + 4)
            throw Declined{};
        packet.code = number;
        packet.size -= 4;
        m_at += 3;
        packet.payloadAt = m_at;
        return packet;
    }

    Packet whole(const Packet& packet)
    {
        if (packet.size == 0 || packet.payloadAt + packet.size > m_file.fileSize())
            throw Declined{};
        m_at = packet.payloadAt + packet.size;
        return packet;
    }

    // Whether the navigation packet at hand goes on as a DVD's; else it has been skipped. The
    // first one decides, by whether it holds a plausible PCI or DSI; one that names Sofdec makes
    // the demuxer take the audio for ADX, which is libavformat's to read.
    bool isNavigation()
    {
        const std::int64_t length = word();
        if (!m_navigation.known) {
            if (m_at + length > m_file.fileSize())
                throw Declined{};
            const std::vector<std::uint8_t> bytes = readSpan(m_file, m_at, length);
            const auto s = std::find(bytes.begin(), bytes.end() - std::min<std::int64_t>(length, 5),
                                     std::uint8_t('S'));
            if (length >= 6 && s != bytes.end() - 5 && std::memcmp(&*s + 1, "ofdec", 5) == 0)
                throw Declined{};
            m_navigation = {true, plausibleDvdNavigation(bytes)};
        }
        if (m_navigation.dvd) {
            m_at -= 2;
            return true;
        }
        m_at += length;
        return false;
    }

    static bool plausibleDvdNavigation(const std::vector<std::uint8_t>& bytes)
    {
        // A time of day in BCD, as a PCI or a DSI has it.
        const auto plausibleTime = [&bytes](std::size_t at) {
            for (std::size_t i = 0; i < 3; ++i) {
                const int high = bytes[at + i] >> 4;
                const int low = bytes[at + i] & 0x0F;
                if (low >= 10 || high * 10 + low > (i == 0 ? 23 : 59))
                    return false;
            }
            return true;
        };
        if (std::int64_t(bytes.size()) == presentationInfoBytes && bytes[0] == 0)
            return plausibleTime(0x19) &&
                   bigEndian<std::uint32_t>(&bytes[0x11]) >= bigEndian<std::uint32_t>(&bytes[0x0D]);
        if (std::int64_t(bytes.size()) == searchInfoBytes && bytes[0] == 1)
            return plausibleTime(0x1D);
        return false;
    }

    std::optional<std::uint32_t> nextStartCode()
    {
        std::uint32_t state = 0xFF;
        for (std::int64_t searched = 0; searched < longestSearch; ++searched) {
            if (m_at >= m_file.fileSize())
                return std::nullopt;
            const std::uint32_t byte = next8();
            const bool found = state == 1;
            state = (state << 8 | byte) & 0xFFFFFF;
            if (found)
                return state;
        }
        throw Declined{};
    }

    std::uint8_t next8() { return *m_file.bytes(m_at++, 1); }

    std::int64_t word()
    {
        const std::int64_t value = bigEndian<std::uint16_t>(m_file.bytes(m_at, 2));
        m_at += 2;
        return value;
    }

    std::int64_t timestamp(std::uint8_t first)
    {
        const std::uint8_t* rest = m_file.bytes(m_at, 4);
        m_at += 4;
        return std::int64_t(first >> 1 & 7) << 30 |
               std::int64_t(bigEndian<std::uint16_t>(rest) >> 1) << 15 |
               bigEndian<std::uint16_t>(rest + 2) >> 1;
    }

    // The PES header after a stream's start code; nothing where the demuxer would search again
    // from the start code (a size below zero) or from where it stopped reading (no packet).
    std::optional<Packet> header(std::uint32_t code)
    {
        Packet packet{code, m_at - 4, std::nullopt, std::nullopt, 0, 0};
        std::int64_t length = word();
        int c = 0;
        do {
            if (length < 1)
                return Packet{code, 0, std::nullopt, std::nullopt, 0, -1};
            c = next8();
            --length;
        } while (c == 0xFF);
        if ((c & 0xC0) == 0x40) {
            ++m_at;
            c = next8();
            length -= 2;
        }
        if ((c & 0xE0) == 0x20) {
            packet.pts = packet.dts = timestamp(std::uint8_t(c));
            length -= 4;
            if (c & 0x10) {
                packet.dts = timestamp(next8());
                length -= 5;
            }
        } else if ((c & 0xC0) == 0x80) {
            int flags = next8();
            std::int64_t headerLength = next8();
            length -= 2;
            if (headerLength > length)
                return Packet{code, 0, std::nullopt, std::nullopt, 0, -1};
            length -= headerLength;
            if (flags & 0x80) {
                packet.pts = packet.dts = timestamp(next8());
                headerLength -= 5;
                if (flags & 0x40) {
                    packet.dts = timestamp(next8());
                    headerLength -= 5;
                }
            }
            if ((flags & 0x3F) && headerLength == 0)
                flags &= 0xC0;
            if (flags & 0x01) {
                // A PES extension: its private data, sequence counter and buffer size skipped.
                const int extension = next8();
                --headerLength;
                int skipped = extension >> 4 & 0x0B;
                skipped += skipped & 0x09;
                if ((extension & 0x40) || skipped > headerLength)
                    throw Declined{};
                m_at += skipped;
                headerLength -= skipped;
                if (extension & 0x01)
                    throw Declined{}; // a second extension, which may rename the stream
            }
            if (headerLength < 0)
                return Packet{code, 0, std::nullopt, std::nullopt, 0, -1};
            m_at += headerLength;
        } else if (c != 0x0F) {
            return std::nullopt;
        }
        packet.payloadAt = m_at;
        packet.size = length;
        return packet;
    }

    HeaderWindow& m_file;
    std::int64_t m_at;
    NavigationKind& m_navigation;
};

// libavformat's probe of a video stream's first payload takes it for MPEG video when the payload
// starts with a sequence header and holds a picture and its first slices in order. Payloads that
// another probe (H.263, VC-1, AVS) might claim as well are declined.
void requireMpegVideo(HeaderWindow& file, const Packet& packet)
{
    const std::vector<std::uint8_t> bytes = padded(file, packet.payloadAt, packet.size);
    const std::uint8_t* at = bytes.data();
    const std::uint8_t* const end = at + packet.size;
    if (packet.size < 8 || std::memcmp(at, "\0\0\1\xB3", 4) != 0)
        throw Declined{};
    for (const std::uint8_t* p = at; p + 4 < end; ++p) {
        if (p[0] == 0 && p[1] == 0 &&
            ((p[2] & 0xFC) == 0x80 || (p[2] == 1 && (p[3] == 0xB0 || p[3] == 0xB6)) ||
             (p[2] == 1 && p[3] == 0x0F && p[4] >= 0xC0)))
            throw Declined{};
    }
    std::uint32_t code = 0xFFFFFFFF;
    std::uint32_t last = 0;
    int pictures = 0, sequences = 0, slices = 0, disordered = 0, others = 0;
    while (at < end) {
        at = findMpegStartCode(at, end, code);
        if ((code & 0xFFFFFF00) != 0x100)
            continue;
        if (code == 0x1B3) {
            // A sequence header counts with its marker bit set, after its quantiser matrices.
            int skip = -1;
            if (at[6] & 0x20) {
                skip += at[7] & 2 ? 64 : 0;
                if (skip < end - at) {
                    skip += at[skip + 8] & 1 ? 64 : 0;
                    if (skip < end - at && !(bigEndian<std::uint32_t>(at + skip + 9, 3) & 0xFFFFFE))
                        ++sequences;
                }
            }
        } else if (code == 0x100) {
            ++pictures;
        } else if (code >= 0x101 && code <= 0x1AF) {
            const bool ascending = last >= 0x101 && last <= 0x1AF ? code >= last : code == 0x101;
            ++(ascending ? slices : disordered);
        } else if (code == 0x1BA || (code & 0x1F0) == 0x1E0 || (code & 0x1E0) == 0x1C0) {
            ++others;
        }
        last = code;
    }
    if (!sequences || sequences * 9 > pictures * 10 || pictures * 9 > slices * 10 || others ||
        slices <= disordered)
        throw Declined{};
}

struct Stream {
    std::uint32_t code = 0;
    // The frames the analysis counted, and the ticks they lasted from the third on.
    int frames = 0;
    std::int64_t analysedTicks = 0;
    std::optional<std::int64_t> start;
    std::int64_t frameTicks = 0;
    // Audio: the bytes of a frame not yet complete, and what its frames are like.
    std::vector<std::uint8_t> pending;
    AudioFrame kind;
    LastTimestamp last;
};

Stream& streamOf(std::vector<Stream>& streams, std::uint32_t code)
{
    const auto found = std::find_if(streams.begin(), streams.end(),
                                    [code](const Stream& s) { return s.code == code; });
    if (found != streams.end())
        return *found;
    Stream& stream = streams.emplace_back();
    stream.code = code;
    return stream;
}

// The audio frames a payload completes, with what came before: an MPEG audio frame (layer II or
// III) leaves its parser with its last byte, an AC-3 frame once the next frame's header is whole.
// Throws HeaderDeclined where a frame does not follow the one before or changes its kind.
std::int64_t completedAudioFrames(Stream& stream, std::span<const std::uint8_t> payload)
{
    const bool ac3 = isAc3(stream.code);
    const std::size_t headerBytes = ac3 ? 7 : 4;
    const auto frameAt = [&stream, ac3](std::size_t at) {
        const std::span<const std::uint8_t> rest = std::span(stream.pending).subspan(at);
        if (!ac3 && (rest[1] >> 1 & 3) == 3)
            throw Declined{}; // layer I
        const AudioFrame frame = ac3 ? ac3Frame(rest) : mpegAudioFrame(rest);
        if (stream.kind.samples == 0)
            stream.kind = frame;
        else if (frame.samples != stream.kind.samples || frame.sampleRate != stream.kind.sampleRate)
            throw Declined{};
        return frame.bytes;
    };
    stream.pending.insert(stream.pending.end(), payload.begin(), payload.end());
    std::int64_t completed = 0;
    std::size_t used = 0;
    while (stream.pending.size() - used >= headerBytes) {
        const std::size_t bytes = frameAt(used);
        const std::size_t needed = bytes + (ac3 ? headerBytes : 0);
        if (needed > stream.pending.size() - used)
            break;
        if (ac3)
            frameAt(used + bytes);
        used += bytes;
        ++completed;
    }
    stream.pending.erase(stream.pending.begin(), stream.pending.begin() + std::ptrdiff_t(used));
    return completed;
}

struct Analysis {
    std::vector<Stream> streams;
    std::int64_t firstTimestamp = 0;
    std::uint32_t videoCode = 0;
    // Where a DVD's navigation starts, from its first complete pack.
    std::optional<std::int64_t> navigationStart;
};

// libavcodec's parser of DVD navigation: a pack's PCI, then its DSI for the same block, make one
// frame at the PCI's start time.
class NavigationFrames {
public:
    // The start time of the frame the payload completes, if it does.
    std::optional<std::int64_t> feed(std::span<const std::uint8_t> payload)
    {
        const std::optional<Pending> pending = m_pending;
        m_pending.reset();
        if (std::int64_t(payload.size()) == presentationInfoBytes && payload[0] == 0) {
            const std::uint32_t start = bigEndian<std::uint32_t>(&payload[0x0D]);
            if (bigEndian<std::uint32_t>(&payload[0x11]) > start)
                m_pending = Pending{bigEndian<std::uint32_t>(&payload[0x01]), start};
        } else if (std::int64_t(payload.size()) == searchInfoBytes && payload[0] == 1 && pending &&
                   bigEndian<std::uint32_t>(&payload[0x05]) == pending->block) {
            return pending->start;
        }
        return std::nullopt;
    }

private:
    struct Pending {
        std::uint32_t block = 0;
        std::int64_t start = 0;
    };
    std::optional<Pending> m_pending;
};

// Follows libavformat's short analysis from the start: packets go to their parsers in file
// order, and each frame a parser gives counts until some stream's fourth, which stops it.
class ShortAnalysis {
public:
    ShortAnalysis(HeaderWindow& file, NavigationKind& navigation)
        : m_file(file)
        , m_navigation(navigation)
    {
    }

    Analysis run()
    {
        Packets packets(m_file, 0, m_navigation);
        while (const std::optional<Packet> packet = packets.next()) {
            requireTimely(*packet);
            // libavformat's analysis would end at its probe size first.
            if ((m_read += packet->size) > mostAnalysedBytes)
                throw Declined{};
            const std::vector<std::uint8_t> payload =
                readSpan(m_file, packet->payloadAt, packet->size);
            if (packet->code == navigationCode) {
                const std::optional<std::int64_t> start = m_navigationFrames.feed(payload);
                if (!m_navigationStart)
                    m_navigationStart = start;
                continue; // its frames last nothing, so they never stop the analysis
            }
            Stream& stream = streamOf(m_streams, packet->code);
            const bool stopped = isVideo(packet->code) ? video(*packet, payload, stream)
                                                       : audio(*packet, payload, stream);
            if (stopped) {
                settleVideoRate();
                return {std::move(m_streams), *m_firstTimestamp, m_videoCode.value_or(0),
                        m_navigationStart};
            }
        }
        throw Declined{}; // a file too short to stop the analysis: libavformat reads it to its end
    }

private:
    void requireTimely(const Packet& packet)
    {
        // libavformat takes its reference for wraps from the first decoding time.
        for (const std::optional<std::int64_t>& ticks : {packet.dts, packet.pts}) {
            if (!ticks)
                continue;
            if (!m_firstTimestamp)
                m_firstTimestamp = ticks;
            requireUnwrapped(*ticks, *m_firstTimestamp);
        }
        // A decoding time this far after the presentation time libavformat takes for wrapped.
        if (packet.pts && *packet.dts - *packet.pts > std::int64_t(1) << 32)
            throw Declined{};
    }

    // Counts a frame of a stream as the analysis does before it reads on; true when it stops
    // the analysis.
    static bool counted(Stream& stream, std::int64_t ticks)
    {
        if (stream.frames > 1) {
            if (stream.analysedTicks > 0)
                return true;
            stream.analysedTicks += ticks;
        }
        ++stream.frames;
        return false;
    }

    bool video(const Packet& packet, const std::vector<std::uint8_t>& payload, Stream& stream)
    {
        if (!m_videoCode) {
            requireMpegVideo(m_file, packet);
            m_videoCode = packet.code;
        } else if (*m_videoCode != packet.code) {
            throw Declined{}; // a second video stream
        }
        for (const MpegVideoFrame& frame :
             m_video.feed(payload, packet.pts, packet.dts, packet.position)) {
            const bool fromPacket = frame.withPacketTimestamps;
            const VideoTimestamps::Filled filled =
                m_videoTimes.fill(frame, m_video.rate(), fromPacket ? packet.pts : std::nullopt,
                                  fromPacket ? packet.dts : std::nullopt);
            stream.start = m_videoTimes.start();
            if (!stream.start)
                throw Declined{};
            if (m_video.mpeg1())
                m_videoTimes.reorderFromNowOn();
            const FrameRate rate = m_video.rate();
            if (counted(stream, ticksPerSecond * rate.seconds / rate.frames))
                return true;
            if (filled.dts)
                m_rateGuess.add(*filled.dts);
        }
        return false;
    }

    bool audio(const Packet& packet, const std::vector<std::uint8_t>& payload, Stream& stream)
    {
        if (stream.frames == 0 && stream.pending.empty()) {
            if (!packet.pts)
                throw Declined{};
            stream.start = packet.pts;
        }
        const std::int64_t frames = completedAudioFrames(stream, payload);
        for (std::int64_t i = 0; i < frames; ++i) {
            stream.frameTicks = stream.kind.samples * ticksPerSecond / stream.kind.sampleRate;
            if (counted(stream, stream.frameTicks))
                return true;
        }
        return false;
    }

    // The video's frame rate once the analysis stopped: MPEG-2's as libavformat guesses it from
    // the frames read, MPEG-1's as stated.
    void settleVideoRate()
    {
        if (!m_videoCode)
            return;
        Stream& stream = streamOf(m_streams, *m_videoCode);
        const FrameRate stated = m_video.rate();
        if (stream.frames == 0)
            return;
        const FrameRate rate =
            m_video.mpeg1() ? stated : m_rateGuess.rate(stated, stream.analysedTicks);
        stream.frameTicks = ticksPerSecond * rate.seconds / rate.frames;
    }

    HeaderWindow& m_file;
    NavigationKind& m_navigation;
    NavigationFrames m_navigationFrames;
    std::optional<std::int64_t> m_navigationStart;
    std::int64_t m_read = 0;
    std::vector<Stream> m_streams;
    std::optional<std::int64_t> m_firstTimestamp;
    std::optional<std::uint32_t> m_videoCode;
    MpegVideoFrames m_video;
    VideoTimestamps m_videoTimes;
    FrameRateGuess m_rateGuess;
};

MediaProbe read(HeaderWindow& file)
{
    if (file.fileSize() < firstProbeBytes || std::memcmp(file.bytes(0, 4), "\0\0\1\xBA", 4) != 0)
        throw Declined{};
    file.readAhead(requestBytes);
    // Where the file ends before libavformat's probe settles, it probes its own way.
    std::int64_t probed = firstProbeBytes;
    while (programStreamScore(file, probed) < leastProbeScore) {
        if ((probed *= 2) > std::min(lastProbeBytes, file.fileSize()))
            throw Declined{};
    }
    NavigationKind navigation;
    Analysis analysis = ShortAnalysis(file, navigation).run();
    std::vector<Stream>& streams = analysis.streams;
    // A stream without frames in the analysis has no start: it counts only for the second pass.
    for (Stream& stream : streams) {
        if (stream.frames == 0)
            stream.start.reset();
    }

    const auto readLast = [&](std::int64_t offset) {
        Packets packets(file, offset, navigation);
        LastPass pass(analysis.firstTimestamp);
        while (pass.wantsMore()) {
            const std::optional<Packet> packet = packets.next();
            if (!packet)
                break;
            if (packet->code == navigationCode) {
                pass.skip(packet->size);
                continue;
            }
            // Another video stream: libavformat would read its first bytes to name its codec.
            if (isVideo(packet->code) && packet->code != analysis.videoCode)
                throw Declined{};
            Stream& stream = streamOf(streams, packet->code);
            pass.read(packet->size, packet->pts, stream.start, stream.frameTicks, stream.last);
        }
        return pass.found();
    };
    return durationFromLastTimestamps(file, streams, readLast, analysis.navigationStart);
}

} // namespace

std::optional<MediaProbe> readMpegPsHeader(HeaderWindow& file)
{
    return unlessDeclined([&file] { return read(file); });
}

} // namespace quillmark
