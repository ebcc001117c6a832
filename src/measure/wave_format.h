#pragma once

#include "measure/header_window.h"

#include <cstdint>
#include <span>

namespace quillmark {

// An audio format tag, as AVI and ASF name a stream's codec in a WAVEFORMATEX.
using WaveCodec = KnownCodec<std::uint32_t>;

// Whether a WAVEFORMATEX of the given size names one of the codecs at a sample size libavcodec
// decodes; throws HeaderDeclined where libavformat would refuse the file or read it otherwise
// (too short, or one byte longer than the plain format; no channels or sampling rate; an
// extensible format, which names its codec elsewhere). Reads at most the first 16 bytes.
bool waveFormatPlays(const std::uint8_t* format, std::uint32_t size,
                     std::span<const WaveCodec> codecs);

} // namespace quillmark
