#include "measure/mpeg_video_frames.h"

#include "measure/header_window.h"

#include <algorithm>

namespace quillmark {

namespace {

using Declined = HeaderDeclined;

constexpr std::uint32_t pictureCode = 0x100;
constexpr std::uint32_t firstSliceCode = 0x101;
constexpr std::uint32_t lastSliceCode = 0x1AF;
constexpr std::uint32_t sequenceCode = 0x1B3;
constexpr std::uint32_t extensionCode = 0x1B5;
constexpr std::uint32_t sequenceEndCode = 0x1B7;

bool isSlice(std::uint32_t code)
{
    return code >= firstSliceCode && code <= lastSliceCode;
}

} // namespace

FrameRate mpegSequenceRate(int code)
{
    static constexpr FrameRate rates[] = {{0, 1},  {24000, 1001}, {24, 1},
                                          {25, 1}, {30000, 1001}, {30, 1},
                                          {50, 1}, {60000, 1001}, {60, 1}};
    if (code <= 0 || code >= int(std::size(rates)))
        throw Declined{};
    return rates[code];
}

const std::uint8_t* findMpegStartCode(const std::uint8_t* at, const std::uint8_t* end,
                                      std::uint32_t& state)
{
    if (at >= end)
        return end;
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t shifted = state << 8;
        state = shifted + *at++;
        if (shifted == 0x100 || at == end)
            return at;
    }
    while (at < end) {
        if (at[-1] > 1)
            at += 3;
        else if (at[-2])
            at += 2;
        else if (at[-3] | (at[-1] - 1))
            ++at;
        else {
            ++at;
            break;
        }
    }
    at = std::min(at, end) - 4;
    state = bigEndian<std::uint32_t>(at);
    return at + 4;
}

std::vector<MpegVideoFrame> MpegVideoFrames::feed(std::span<const std::uint8_t> payload,
                                                  std::optional<std::int64_t> pts,
                                                  std::optional<std::int64_t> dts,
                                                  std::int64_t position)
{
    std::vector<MpegVideoFrame> frames;
    // An empty payload would read as the end of the stream.
    if (payload.empty())
        throw Declined{};
    while (!payload.empty()) {
        const std::int64_t used = parse(payload, pts, dts, position, frames);
        payload = payload.subspan(std::size_t(used));
        pts.reset();
        dts.reset();
    }
    return frames;
}

// One call of libavcodec's parser: it notes where each packet lies in the stream of bytes and
// with which timestamps, and hands a frame its timestamps from those notes.
std::int64_t MpegVideoFrames::parse(std::span<const std::uint8_t> bytes,
                                    std::optional<std::int64_t> pts,
                                    std::optional<std::int64_t> dts, std::int64_t position,
                                    std::vector<MpegVideoFrame>& frames)
{
    const auto size = std::int64_t(bytes.size());
    if (!m_started) {
        m_nextFrameOffset = m_offset = position;
        m_started = true;
    }
    if (m_offset + size != m_packets[m_latestPacket].end) {
        m_latestPacket = (m_latestPacket + 1) % m_packets.size();
        m_packets[m_latestPacket] = {m_offset, m_offset + size, pts, dts};
    }
    if (m_fetch) {
        m_fetch = false;
        fetchTimestamps(0, false, false);
    }
    const std::optional<std::int64_t> end = findFrameEnd(bytes);
    if (!end) {
        m_frame.insert(m_frame.end(), bytes.begin(), bytes.end());
        m_offset += size;
        return size;
    }
    m_frame.insert(m_frame.end(), bytes.begin(), bytes.begin() + *end);
    frames.push_back(frameOf(m_frame));
    frames.back().withPacketTimestamps = pts || dts;
    m_frame.clear();
    m_frameOffset = m_nextFrameOffset;
    m_nextFrameOffset = m_offset + *end;
    m_fetch = true;
    m_offset += *end;
    return *end;
}

// Where the frame being read ends in these bytes, if it does: at the first start code after a
// slice that is not a slice's. A picture's start code fetches the frame's timestamps.
std::optional<std::int64_t> MpegVideoFrames::findFrameEnd(std::span<const std::uint8_t> bytes)
{
    const std::uint8_t* const begin = bytes.data();
    const auto size = std::int64_t(bytes.size());
    std::uint32_t state = m_state;
    for (std::int64_t i = 0; i < size; ++i) {
        if (m_frameStart & 1) {
            // An extension after the first: a picture coding extension names the structure.
            if (state == extensionCode && (begin[i] & 0xF0) != 0x80)
                --m_frameStart;
            else if (state == extensionCode + 2) {
                if ((begin[i] & 3) != 3)
                    throw Declined{}; // a field picture: two make the frame
                m_frameStart = 0;
            }
            ++state;
            continue;
        }
        i = findMpegStartCode(begin + i, begin + size, state) - begin - 1;
        if (m_frameStart == 0 && isSlice(state)) {
            ++i;
            m_frameStart = 4;
        }
        if (state == sequenceEndCode)
            throw Declined{};
        if (m_frameStart < 4 && state == extensionCode)
            ++m_frameStart;
        if (m_frameStart == 4 && (state & 0xFFFFFF00) == 0x100 && !isSlice(state)) {
            if (i < 3)
                throw Declined{}; // the code began in an earlier packet
            m_frameStart = 0;
            m_state = 0xFFFFFFFF;
            return i - 3;
        }
        if (m_frameStart == 0 && state == pictureCode)
            fetchTimestamps(i - 3, true, i > 3);
    }
    m_state = state;
    return std::nullopt;
}

// The timestamps of the packets noted since the frame before began, up to the one holding the
// offset. Fuzzy, it keeps those it has unless a packet brings a decoding time.
void MpegVideoFrames::fetchTimestamps(std::int64_t offset, bool remove, bool fuzzy)
{
    if (!fuzzy) {
        m_pts.reset();
        m_dts.reset();
    }
    for (PacketSpan& packet : m_packets) {
        if (m_offset + offset >= packet.offset &&
            (m_frameOffset < packet.offset || (!m_frameOffset && !m_nextFrameOffset)) &&
            packet.end != 0) {
            if (!fuzzy || packet.dts) {
                m_pts = packet.pts;
                m_dts = packet.dts;
            }
            if (remove)
                packet.offset = INT64_MAX;
            if (m_offset + offset < packet.end)
                break;
        }
    }
}

// The frame's picture type, and the stream's rate and reordering where its headers state them.
MpegVideoFrame MpegVideoFrames::frameOf(std::span<const std::uint8_t> bytes)
{
    MpegVideoFrame frame;
    frame.pts = m_pts;
    frame.dts = m_dts;
    const std::uint8_t* at = bytes.data();
    const std::uint8_t* const end = at + bytes.size();
    bool sequence = false;
    bool extended = false;
    int type = 0;
    while (at < end) {
        std::uint32_t code = 0xFFFFFFFF;
        at = findMpegStartCode(at, end, code);
        const std::int64_t left = end - at;
        if (isSlice(code))
            break;
        if (code == pictureCode && left >= 2) {
            type = at[1] >> 3 & 7;
        } else if (code == sequenceCode && left >= 7) {
            m_rate = mpegSequenceRate(at[3] & 0x0F);
            sequence = true;
        } else if (code == extensionCode && left >= 1) {
            if (at[0] >> 4 == 1 && left >= 6) {
                if ((at[5] & 0x7F) != 0)
                    throw Declined{}; // a rate the extension scales
                frame.reorders = !(at[5] >> 7);
                extended = true;
            } else if (at[0] >> 4 == 8 && left >= 5 && (at[3] & 2)) {
                throw Declined{}; // a repeated field lengthens the frame
            }
        }
    }
    // MPEG-1 has a sequence without its extension; a stream changing between the two, or one
    // whose rate is not known yet, is declined.
    if (sequence && m_mpeg1 && *m_mpeg1 != !extended)
        throw Declined{};
    if (sequence)
        m_mpeg1 = !extended;
    if (!m_mpeg1 || type < 1 || type > 3)
        throw Declined{};
    frame.type = PictureType(type);
    return frame;
}

} // namespace quillmark
