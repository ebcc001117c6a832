#include "measure/mpegts_header.h"

#include "measure/audio_frames.h"
#include "measure/crc32.h"
#include "measure/frame_rate_guess.h"
#include "measure/h264_timing.h"
#include "measure/mpeg_timestamps.h"
#include "measure/mpeg_video_frames.h"
#include "measure/pes_assembler.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace quillmark {

namespace {

using Declined = HeaderDeclined;

constexpr std::int64_t packetBytes = transportPacketBytes;
constexpr std::uint8_t syncByte = 0x47;
constexpr std::int64_t ticksPerSecond = mpegTicksPerSecond;
// The short analysis stops at the fourth frame of any stream.
constexpr int framesAnalysed = 4;
constexpr std::int64_t requestBytes = 256 * 1024;
constexpr int patPid = 0;
constexpr int sdtPid = 0x11;
constexpr int eitPid = 0x12;

enum class Codec { h264, mpeg2, aac, mpegAudio };

struct Stream {
    int pid = 0;
    Codec codec = Codec::h264;
    // A frame's duration in ticks of 90 kHz, rounded down, as libavformat adds it to the last
    // timestamp; 0 until known.
    std::int64_t frameTicks = 0;
    FrameRate rate;
    int packets = 0;
    std::optional<std::int64_t> previousPts;
    std::optional<std::int64_t> previousDecoding;
    int frames = 0;
    std::optional<std::int64_t> start;
    LastTimestamp last;

    bool video() const { return codec == Codec::h264 || codec == Codec::mpeg2; }
};

std::vector<int> pidsOf(const std::vector<Stream>& streams)
{
    std::vector<int> pids;
    for (const Stream& stream : streams)
        pids.push_back(stream.pid);
    return pids;
}

const std::uint8_t* packetAt(HeaderWindow& file, std::int64_t index)
{
    const std::uint8_t* packet = file.bytes(index * packetBytes, packetBytes);
    if (packet[0] != syncByte)
        throw Declined{};
    return packet;
}

// A program-specific section that a transport packet holds whole, checked by its CRC.
std::span<const std::uint8_t> sectionOf(const std::uint8_t* packet, int tableId)
{
    const std::span<const std::uint8_t> payload = payloadOf(packet);
    if (!startsUnit(packet) || payload.empty() || std::size_t(payload[0]) + 4 > payload.size())
        throw Declined{};
    const std::span<const std::uint8_t> rest = payload.subspan(1 + payload[0]);
    const std::size_t length = 3 + std::size_t((rest[1] & 0x0F) << 8 | rest[2]);
    // A table not yet in force (its current flag clear), or one of several sections, is
    // libavformat's to read.
    if (rest[0] != tableId || length < 12 || length > rest.size() || !(rest[5] & 1) ||
        rest[6] != 0 || rest[7] != 0 || crc32(rest.first(length), 0xFFFFFFFF) != 0)
        throw Declined{};
    return rest.first(length - 4);
}

struct Program {
    int mapPid = 0;
    std::vector<Stream> streams;

    // Whether libavformat reads the PID as a table or a stream of the program; any other that
    // carries a PES becomes a stream of its own.
    bool follows(int pid) const
    {
        return pid == patPid || pid == sdtPid || pid == eitPid || pid == mapPid ||
               std::any_of(streams.begin(), streams.end(),
                           [pid](const Stream& s) { return s.pid == pid; });
    }
};

// The streams of the one program, from the first program association and map: H.264 video and
// AAC or MPEG audio only, each without descriptors libavformat might act on.
Program programOf(HeaderWindow& file)
{
    std::optional<int> mapPid;
    std::vector<Stream> streams;
    const std::int64_t packets = std::min(file.fileSize(), HeaderWindow::windowBytes) / packetBytes;
    for (std::int64_t index = 0; index < packets; ++index) {
        const std::uint8_t* packet = packetAt(file, index);
        if (!mapPid && pidOf(packet) == patPid) {
            const std::span<const std::uint8_t> table = sectionOf(packet, 0);
            for (std::size_t at = 8; at + 4 <= table.size(); at += 4) {
                if (bigEndian<std::uint16_t>(&table[at]) == 0)
                    continue; // the network information table
                if (mapPid)
                    throw Declined{}; // more than one program
                mapPid = (table[at + 2] & 0x1F) << 8 | table[at + 3];
            }
            if (!mapPid)
                throw Declined{};
        } else if (mapPid && pidOf(packet) == *mapPid) {
            const std::span<const std::uint8_t> map = sectionOf(packet, 2);
            if (map.size() < 12)
                throw Declined{};
            std::size_t at = 12 + std::size_t((map[10] & 0x0F) << 8 | map[11]);
            if (at != 12)
                throw Declined{}; // program descriptors
            while (at + 5 <= map.size()) {
                Stream stream;
                stream.pid = (map[at + 1] & 0x1F) << 8 | map[at + 2];
                if (stream.pid < 0x20 || stream.pid == *mapPid ||
                    std::any_of(streams.begin(), streams.end(),
                                [&stream](const Stream& s) { return s.pid == stream.pid; }))
                    throw Declined{};
                const std::size_t described = std::size_t((map[at + 3] & 0x0F) << 8 | map[at + 4]);
                switch (map[at]) {
                case 0x1B:
                    stream.codec = Codec::h264;
                    break;
                case 0x02:
                    stream.codec = Codec::mpeg2;
                    break;
                case 0x0F:
                    stream.codec = Codec::aac;
                    break;
                case 0x03:
                case 0x04:
                    stream.codec = Codec::mpegAudio;
                    break;
                default:
                    throw Declined{};
                }
                // Only descriptors that leave the codec as it is: a registration (but for one
                // that has libavformat probe), a language, a stream identifier.
                for (std::size_t d = at + 5; d < at + 5 + described;) {
                    if (d + 2 > map.size() || d + 2 + map[d + 1] > map.size())
                        throw Declined{};
                    const bool registration = map[d] == 0x05 && map[d + 1] >= 4 &&
                                              std::memcmp(&map[d + 2], "BSSD", 4) != 0;
                    if (!registration && map[d] != 0x0A && map[d] != 0x52)
                        throw Declined{};
                    d += 2 + map[d + 1];
                }
                streams.push_back(stream);
                at += 5 + described;
            }
            if (at != map.size() || streams.empty() ||
                std::count_if(streams.begin(), streams.end(),
                              [](const Stream& s) { return s.video(); }) > 1)
                throw Declined{};
            return {*mapPid, std::move(streams)};
        }
    }
    throw Declined{};
}

// Whether a PES payload holds one access unit: its delimiter first, and no other.
bool holdsOneAccessUnit(const std::vector<std::uint8_t>& payload)
{
    static constexpr std::uint8_t startCode[] = {0, 0, 1};
    const auto isDelimiter = [&payload](auto at) {
        return payload.end() - at > 3 && (at[3] & 0x1F) == 9;
    };
    auto at = std::search(payload.begin(), payload.end(), startCode, startCode + 3);
    if (at == payload.end() || !isDelimiter(at) ||
        !std::all_of(payload.begin(), at, [](std::uint8_t byte) { return byte == 0; }))
        return false;
    while ((at = std::search(at + 3, payload.end(), startCode, startCode + 3)) != payload.end()) {
        if (isDelimiter(at))
            return false;
    }
    return true;
}

// The start codes of an MPEG-2 video payload, each with the bytes after it.
std::vector<std::span<const std::uint8_t>> startCodes(const std::vector<std::uint8_t>& payload)
{
    static constexpr std::uint8_t startCode[] = {0, 0, 1};
    std::vector<std::span<const std::uint8_t>> codes;
    for (auto at = std::search(payload.begin(), payload.end(), startCode, startCode + 3);
         at != payload.end(); at = std::search(at + 3, payload.end(), startCode, startCode + 3)) {
        if (payload.end() - at > 3)
            codes.emplace_back(&at[3], std::size_t(payload.end() - at - 3));
    }
    return codes;
}

// Whether an MPEG-2 video PES payload holds one frame picture, its headers first: MPEG-2's parser
// then ends each frame where the next PES begins.
bool holdsOnePicture(const std::vector<std::uint8_t>& payload)
{
    const auto codes = startCodes(payload);
    if (codes.empty() || (codes[0][0] != 0xB3 && codes[0][0] != 0xB8 && codes[0][0] != 0x00) ||
        !std::all_of(payload.begin(), payload.begin() + (codes[0].data() - payload.data() - 3),
                     [](std::uint8_t byte) { return byte == 0; }))
        return false;
    int pictures = 0;
    for (const auto& code : codes) {
        if (code[0] == 0x00)
            ++pictures;
        // A picture coding extension: a field picture would make two pictures a frame.
        if (code[0] == 0xB5 && code.size() > 3 && (code[1] & 0xF0) == 0x80 && (code[3] & 3) != 3)
            return false;
        if (code[0] == 0xB7)
            return false; // the end of a sequence, after which the parser starts anew
    }
    return pictures == 1;
}

// The frame rate of the MPEG-2 sequence header in a PES payload: one of the standard rates,
// without an extension changing it.
FrameRate mpeg2StatedRate(const std::vector<std::uint8_t>& payload)
{
    std::optional<FrameRate> rate;
    for (const auto& code : startCodes(payload)) {
        if (code[0] == 0xB3 && code.size() > 4) {
            rate = mpegSequenceRate(code[4] & 0x0F);
        } else if (code[0] == 0xB5 && code.size() > 6 && code[1] >> 4 == 1 &&
                   (code[6] & 0x7F) != 0) {
            throw Declined{}; // a sequence extension that scales the rate
        }
    }
    if (!rate)
        throw Declined{};
    return *rate;
}

// The frame rate of the first sequence parameter set in a PES payload, which must hold a picture
// parameter set too: without one libavcodec's parser learns no rate from the frames, which then
// last nothing in the analysis.
FrameRate h264StatedRate(const std::vector<std::uint8_t>& payload)
{
    static constexpr std::uint8_t startCode[] = {0, 0, 1};
    bool pictureParameters = false;
    for (auto at = payload.begin();
         !pictureParameters &&
         (at = std::search(at, payload.end(), startCode, startCode + 3)) != payload.end();
         at += 3)
        pictureParameters = payload.end() - at > 3 && (at[3] & 0x1F) == 8;
    if (!pictureParameters)
        throw Declined{};
    static constexpr char x264[] = "x264 - core ";
    // libavcodec halves the rate of x264 builds before 44.
    const auto named = std::search(payload.begin(), payload.end(), x264, x264 + 12);
    if (named != payload.end()) {
        int build = 0;
        for (auto digit = named + 12;
             digit != payload.end() && *digit >= '0' && *digit <= '9' && build < 1000; ++digit)
            build = build * 10 + (*digit - '0');
        if (build < 44)
            throw Declined{};
    }
    for (auto at = payload.begin();
         (at = std::search(at, payload.end(), startCode, startCode + 3)) != payload.end();
         at += 3) {
        if (payload.end() - at < 5 || (at[3] & 0x1F) != 7)
            continue;
        const auto end = std::search(at + 3, payload.end(), startCode, startCode + 3);
        const std::optional<FrameRate> rate =
            h264FrameRate({&*(at + 4), std::size_t(end - at - 4)});
        if (!rate)
            throw Declined{};
        return *rate;
    }
    throw Declined{};
}

struct Analysis {
    std::int64_t firstTimestamp = 0;
};

// Follows libavformat's short analysis from the start: which streams give a frame before one
// gives its fourth, and each one's first timestamp. Video frames leave the parser when the next
// one's PES is complete (each PES holds one frame, starting with its delimiter); audio frames as
// soon as their PES is.
Analysis analyse(HeaderWindow& file, Program& program)
{
    std::vector<Stream>& streams = program.streams;
    PesAssembler assembler(pidsOf(streams), true);
    std::optional<std::int64_t> firstTimestamp;
    FrameRateGuess rateGuess;
    const auto frame = [&](Stream& stream, std::int64_t pts) {
        if (++stream.frames == 1)
            stream.start = pts;
        return stream.frames == framesAnalysed;
    };
    // The video's frame duration once the analysis stopped, from the rate libavformat guesses
    // from the frames it read; the third of them had a duration.
    const auto settleVideoRate = [&] {
        for (Stream& stream : streams) {
            if (!stream.video() || stream.frames == 0)
                continue;
            const FrameRate rate =
                rateGuess.rate(stream.rate, stream.frames >= 3 ? stream.frameTicks : 0);
            stream.frameTicks = rate.seconds * ticksPerSecond / rate.frames;
        }
    };
    for (std::int64_t index = 0; (index + 1) * packetBytes <= file.fileSize(); ++index) {
        const std::uint8_t* packet = packetAt(file, index);
        const std::span<const std::uint8_t> payload = payloadOf(packet);
        if (startsUnit(packet) && !program.follows(pidOf(packet)) && payload.size() >= 3 &&
            payload[0] == 0 && payload[1] == 0 && payload[2] == 1)
            throw Declined{}; // a PES outside the program, which becomes a stream too
        const std::optional<PesPacket> completed = assembler.feed(packet);
        if (!completed)
            continue;
        Stream& stream = streams[completed->stream];
        if (!completed->pts)
            throw Declined{};
        const std::int64_t pts = *completed->pts;
        // libavformat takes its reference for wraps from the first decoding time.
        if (!firstTimestamp)
            firstTimestamp = completed->dts.value_or(pts);
        requireUnwrapped(completed->dts.value_or(pts), *firstTimestamp);
        requireUnwrapped(pts, *firstTimestamp);
        bool stop = false;
        if (stream.video()) {
            const bool onePicture = stream.codec == Codec::h264
                                        ? holdsOneAccessUnit(completed->payload)
                                        : holdsOnePicture(completed->payload);
            if (!onePicture)
                throw Declined{};
            if (++stream.packets == 1) {
                stream.rate = stream.codec == Codec::h264 ? h264StatedRate(completed->payload)
                                                          : mpeg2StatedRate(completed->payload);
                stream.frameTicks = stream.rate.seconds * ticksPerSecond / stream.rate.frames;
            } else {
                stop = frame(stream, *stream.previousPts);
                if (!stop)
                    rateGuess.add(*stream.previousDecoding);
            }
            // Frames decoded at their rate, to within half a frame as in any real file: after a
            // jump libavformat's guess may follow timestamps it completes its own way.
            const std::int64_t decoding = completed->dts.value_or(pts);
            const std::int64_t interval = ticksPerSecond * stream.rate.seconds;
            if (stream.previousDecoding &&
                2 * std::abs((decoding - *stream.previousDecoding) * stream.rate.frames -
                             interval) >=
                    interval)
                throw Declined{};
            stream.previousPts = pts;
            stream.previousDecoding = decoding;
        } else {
            const AudioFrames frames =
                audioFrames(completed->payload,
                            stream.codec == Codec::aac ? AudioSyntax::adts : AudioSyntax::mpeg);
            if (stream.frameTicks == 0)
                stream.frameTicks = frames.samples * ticksPerSecond / frames.sampleRate;
            else if (stream.frameTicks != frames.samples * ticksPerSecond / frames.sampleRate)
                throw Declined{};
            for (int i = 0; i < frames.count && !stop; ++i)
                stop = frame(stream, pts);
        }
        if (stop) {
            settleVideoRate();
            return {*firstTimestamp};
        }
    }
    throw Declined{}; // a file too short to stop the analysis: libavformat reads it to its end
}

// The packets libavformat reads from an offset: where a packet does not start with the sync byte,
// it takes the next such byte for the start of one. A packet found that way off the file's grid,
// of a PID libavformat follows, is declined, and so is a damaged packet once on the grid.
class PacketsFrom {
public:
    PacketsFrom(HeaderWindow& file, std::int64_t offset, const Program& program)
        : m_file(file)
        , m_at(offset)
        , m_program(program)
    {
    }

    const std::uint8_t* next()
    {
        while (m_file.fileSize() - m_at >= packetBytes) {
            const std::uint8_t* packet = m_file.bytes(m_at, packetBytes);
            if (packet[0] != syncByte) {
                // A damaged packet once on the grid: what libavformat then makes of the stream
                // around it (a continuity error, a PES cut short) is its own.
                if (m_onGrid)
                    throw Declined{};
                if (packet[0] == 0x80 && packet[12] == syncByte) {
                    m_at += 12;
                    continue;
                }
                const std::uint8_t* found = std::find(packet + 1, packet + packetBytes, syncByte);
                m_at += found - packet;
                continue;
            }
            // The tables below 0x20 too: libavformat may follow more of them than the reader.
            if (m_at % packetBytes != 0 &&
                (pidOf(packet) < 0x20 || m_program.follows(pidOf(packet))))
                throw Declined{};
            m_onGrid = m_at % packetBytes == 0;
            m_at += packetBytes;
            return packet;
        }
        return nullptr;
    }

private:
    HeaderWindow& m_file;
    std::int64_t m_at;
    bool m_onGrid = false;
    const Program& m_program;
};

// One pass of libavformat's estimate from the last timestamps, over the PES packets from the
// offset. Whether any timestamp counted.
bool readLastTimestamps(HeaderWindow& file, Program& program, std::int64_t offset,
                        std::int64_t firstTimestamp)
{
    std::vector<Stream>& streams = program.streams;
    PesAssembler assembler(pidsOf(streams), false);
    PacketsFrom packets(file, offset, program);
    LastPass pass(firstTimestamp);
    bool ended = false;
    while (pass.wantsMore()) {
        std::optional<PesPacket> completed;
        while (!completed && !ended) {
            const std::uint8_t* packet = packets.next();
            ended = packet == nullptr;
            completed = ended ? assembler.flush() : assembler.feed(packet);
        }
        if (!completed)
            break;
        Stream& stream = streams[completed->stream];
        pass.read(completed->size, completed->pts, stream.start, stream.frameTicks, stream.last);
    }
    return pass.found();
}

MediaProbe read(HeaderWindow& file)
{
    if (file.fileSize() % packetBytes != 0)
        throw Declined{};
    Program program = programOf(file);
    std::vector<Stream>& streams = program.streams;
    file.readAhead(requestBytes);
    const Analysis analysis = analyse(file, program);
    return durationFromLastTimestamps(file, streams, [&](std::int64_t offset) {
        return readLastTimestamps(file, program, offset, analysis.firstTimestamp);
    });
}

} // namespace

std::optional<MediaProbe> readMpegTsHeader(HeaderWindow& file)
{
    return unlessDeclined([&file] { return read(file); });
}

} // namespace quillmark
