#pragma once

#include "measure/h264_timing.h"
#include "measure/mpeg_video_frames.h"

#include <cstdint>
#include <optional>

namespace quillmark {

// How libavformat completes the timestamps of MPEG video frames from its parser, where a frame came
// without them: from the last reference frame's, or one frame on from the last decoding time.
// The first frame must bring a decoding time, which starts the stream at its presentation time;
// throws HeaderDeclined otherwise.
class VideoTimestamps {
public:
    struct Filled {
        std::optional<std::int64_t> pts;
        std::optional<std::int64_t> dts;
    };

    // The frame's timestamps, given the rate its parser states and the timestamps of the packet
    // it was cut from, if it was the packet's first.
    Filled fill(const MpegVideoFrame& frame, FrameRate rate, std::optional<std::int64_t> packetPts,
                std::optional<std::int64_t> packetDts);
    std::optional<std::int64_t> start() const { return m_start; }
    // From now on frames may be reordered, as libavcodec's MPEG-1 decoder says once it read the
    // first one.
    void reorderFromNowOn() { m_reorders = true; }

private:
    void begin(std::optional<std::int64_t> dts, std::optional<std::int64_t> pts);
    std::int64_t current() const;

    bool m_reorders = false;
    std::optional<std::int64_t> m_start;
    std::optional<std::int64_t> m_currentDts;
    std::optional<std::int64_t> m_lastReferencePts;
    std::int64_t m_lastReferenceTicks = 0;
    std::optional<std::int64_t> m_lastOrdered;
    int m_ordered = 0;
    int m_misordered = 0;
    // The two latest presentation times, earliest first.
    std::optional<std::int64_t> m_earlierPts;
    std::optional<std::int64_t> m_laterPts;
};

} // namespace quillmark
