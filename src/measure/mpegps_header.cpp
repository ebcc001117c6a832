#include "measure/mpegps_header.h"

#include "measure/audio_frames.h"
#include "measure/frame_rate_guess.h"
#include "measure/mpeg_timestamps.h"
#include "measure/mpeg_video_frames.h"
#include "measure/program_stream_packets.h"
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
constexpr std::int64_t requestBytes = 256 * 1024;
constexpr std::int64_t mostAnalysedBytes = 4'000'000;

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
    const bool ac3 = isAc3Stream(stream.code);
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
        ProgramStreamPackets packets(m_file, 0, m_navigation);
        while (const std::optional<ProgramStreamPacket> packet = packets.next()) {
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
            const bool stopped = isVideoStream(packet->code) ? video(*packet, payload, stream)
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
    void requireTimely(const ProgramStreamPacket& packet)
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

    bool video(const ProgramStreamPacket& packet, const std::vector<std::uint8_t>& payload,
               Stream& stream)
    {
        if (!m_videoCode) {
            requireMpegVideo(payload);
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

    bool audio(const ProgramStreamPacket& packet, const std::vector<std::uint8_t>& payload,
               Stream& stream)
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
        ProgramStreamPackets packets(file, offset, navigation);
        LastPass pass(analysis.firstTimestamp);
        while (pass.wantsMore()) {
            const std::optional<ProgramStreamPacket> packet = packets.next();
            if (!packet)
                break;
            if (packet->code == navigationCode) {
                pass.skip(packet->size);
                continue;
            }
            // Another video stream: libavformat would read its first bytes to name its codec.
            if (isVideoStream(packet->code) && packet->code != analysis.videoCode)
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
