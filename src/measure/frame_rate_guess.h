#pragma once

#include "measure/h264_timing.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace quillmark {

// The frame rate libavformat's analysis settles on for MPEG-2 video, whose stated rate it does
// not trust: from the decoding times of the frames it read, the standard rate they fit best,
// once there are two intervals between them; the stated rate otherwise.
class FrameRateGuess {
public:
    FrameRateGuess();

    // A frame's decoding time, in ticks of 90 kHz.
    void add(std::int64_t decodingTicks);
    // The rate, given the one the stream states and how long the frames analysed after the
    // second last, in ticks.
    FrameRate rate(FrameRate stated, std::int64_t analysedTicks) const;

private:
    std::optional<std::int64_t> m_last;
    int m_intervals = 0;
    std::int64_t m_intervalTicks = 0;
    // Per standard rate: the sums of the error and its square, to the nearest frame and to the
    // nearest half frame.
    std::vector<std::array<double, 4>> m_errors;
};

} // namespace quillmark
