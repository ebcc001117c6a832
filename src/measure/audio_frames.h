#pragma once

#include <cstdint>
#include <span>

namespace quillmark {

// The frame headers of the audio a transport stream carries: AAC in ADTS, and MPEG audio
// (layers I to III).
enum class AudioSyntax { adts, mpeg };

// The frames of a payload, all alike: how many, the samples each decodes to, at what rate.
struct AudioFrames {
    int count = 0;
    std::int64_t samples = 0;
    std::int64_t sampleRate = 0;
};

// One frame: its size in bytes, and the samples it decodes to at its sample rate.
struct AudioFrame {
    std::size_t bytes = 0;
    std::int64_t samples = 0;
    std::int64_t sampleRate = 0;
};

// The MPEG audio frame whose header starts the bytes; throws HeaderDeclined where none does, or
// one libavcodec reads its own way (free format).
AudioFrame mpegAudioFrame(std::span<const std::uint8_t> at);

// The AC-3 frame whose header starts the bytes (at least 7 of them); throws HeaderDeclined where
// none does, or where it is E-AC-3 or AC-3 at a reduced sample rate.
AudioFrame ac3Frame(std::span<const std::uint8_t> at);

// The frames a PES payload holds, which must fill it exactly with frames of one sample rate and
// size in samples; throws HeaderDeclined otherwise.
AudioFrames audioFrames(std::span<const std::uint8_t> payload, AudioSyntax syntax);

} // namespace quillmark
