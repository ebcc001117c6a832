#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace quillmark {

// A frame rate as a fraction.
struct FrameRate {
    std::int64_t frames = 0;
    std::int64_t seconds = 1;
};

// The frame rate an H.264 sequence parameter set states in its timing information, as
// libavcodec takes it (two ticks a frame), reduced; nothing without timing information or where
// the set cannot be read. The bytes are the NAL unit's after its header, emulation prevention
// bytes still in.
std::optional<FrameRate> h264FrameRate(std::span<const std::uint8_t> sequenceParameterSet);

} // namespace quillmark
