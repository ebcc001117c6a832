#include "measure/wave_format.h"

namespace quillmark {

bool waveFormatPlays(const std::uint8_t* format, std::uint32_t size,
                     std::span<const WaveCodec> codecs)
{
    const auto little16 = [format](int at) { return littleEndian<std::uint32_t>(format + at, 2); };
    // A format of 15 bytes has libavformat read its sample size from the byte after it.
    if (size < 14 || size == 15)
        throw HeaderDeclined{};
    const std::uint32_t tag = little16(0);
    const auto sampleRate = littleEndian<std::uint32_t>(format + 4);
    if (tag == 0xFFFE || little16(2) == 0 || std::int32_t(sampleRate) <= 0)
        throw HeaderDeclined{};
    const std::uint32_t bits = size >= 16 ? little16(14) : 8;
    return isKnownCodec(codecs, tag) &&
           (tag != 0x0001 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
}

} // namespace quillmark
