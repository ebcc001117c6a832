#pragma once

#include "measure/h264_timing.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillmark {

enum class PictureType { intra = 1, predicted = 2, bidirectional = 3 };

// A frame of MPEG video as libavcodec's parser hands it out: its picture's type and the
// timestamps it took from the PES packets around it.
struct MpegVideoFrame {
    PictureType type = PictureType::intra;
    std::optional<std::int64_t> pts;
    std::optional<std::int64_t> dts;
    // Whether frames may be reordered, where the frame's sequence extension says (its low-delay
    // flag clear).
    std::optional<bool> reorders;
    // Whether the parser handed it out while given the timestamps of a new packet.
    bool withPacketTimestamps = false;
};

// The frame rate a sequence header's rate code names: the standard ones only; throws
// HeaderDeclined for the rest, which libavcodec reads its own way or not at all.
FrameRate mpegSequenceRate(int code);

// The next start code from `at`, libavcodec's way: the state carries the bytes before `at`, and
// holds the last four bytes read when the search returns. Returns the position after the code's
// last byte, or the end.
const std::uint8_t* findMpegStartCode(const std::uint8_t* at, const std::uint8_t* end,
                                      std::uint32_t& state);

// Cuts MPEG-1 or MPEG-2 video carried in PES packets of any size into frames, where and with the
// timestamps libavcodec's parser gives them: a frame ends at the first start code after its
// slices other than a slice's, and takes the timestamps of the packet in which its picture
// starts, unless an earlier frame took them. Throws HeaderDeclined where the parser would take
// a way of its own: a start code ending a frame split between packets, field pictures, the end
// of a sequence, a frame repeating a field, a rate scaled by the sequence extension.
class MpegVideoFrames {
public:
    // The frames one PES payload completes; the packet starts at `position` in the file.
    std::vector<MpegVideoFrame> feed(std::span<const std::uint8_t> payload,
                                     std::optional<std::int64_t> pts,
                                     std::optional<std::int64_t> dts, std::int64_t position);

    // The rate the latest sequence header states; known after the first frame.
    FrameRate rate() const { return m_rate; }
    // Whether the video is MPEG-1, known after the first frame.
    bool mpeg1() const { return m_mpeg1.value_or(false); }

private:
    struct PacketSpan {
        std::int64_t offset = 0;
        std::int64_t end = 0;
        std::optional<std::int64_t> pts;
        std::optional<std::int64_t> dts;
    };

    std::int64_t parse(std::span<const std::uint8_t> bytes, std::optional<std::int64_t> pts,
                       std::optional<std::int64_t> dts, std::int64_t position,
                       std::vector<MpegVideoFrame>& frames);
    std::optional<std::int64_t> findFrameEnd(std::span<const std::uint8_t> bytes);
    void fetchTimestamps(std::int64_t offset, bool remove, bool fuzzy);
    MpegVideoFrame frameOf(std::span<const std::uint8_t> bytes);

    bool m_started = false;
    bool m_fetch = true;
    std::int64_t m_offset = 0;
    std::int64_t m_frameOffset = 0;
    std::int64_t m_nextFrameOffset = 0;
    std::array<PacketSpan, 4> m_packets;
    std::size_t m_latestPacket = 0;
    std::optional<std::int64_t> m_pts;
    std::optional<std::int64_t> m_dts;

    std::uint32_t m_state = 0xFFFFFFFF;
    int m_frameStart = 0;
    std::vector<std::uint8_t> m_frame;

    FrameRate m_rate{0, 1};
    std::optional<bool> m_mpeg1;
};

} // namespace quillmark
