#include "measure/h264_timing.h"

#include <algorithm>
#include <iterator>
#include <numeric>
#include <vector>

namespace quillmark {

namespace {

struct Unreadable {};

// Exp-Golomb and fixed-width fields, most significant bit first.
class Bits {
public:
    explicit Bits(std::vector<std::uint8_t> bytes)
        : m_bytes(std::move(bytes))
    {
    }

    std::uint32_t take(int count)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i, ++m_at) {
            if (m_at / 8 >= m_bytes.size())
                throw Unreadable{};
            value = value << 1 | (m_bytes[m_at / 8] >> (7 - m_at % 8) & 1);
        }
        return value;
    }
    std::uint32_t unsignedCode()
    {
        int zeros = 0;
        while (take(1) == 0) {
            if (++zeros > 31)
                throw Unreadable{};
        }
        return std::uint32_t((std::uint64_t(1) << zeros) - 1 + take(zeros));
    }
    std::int32_t signedCode()
    {
        const std::uint32_t code = unsignedCode();
        return code & 1 ? std::int32_t((code + 1) / 2) : -std::int32_t(code / 2);
    }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_at = 0;
};

// The payload without the zero bytes an encoder put in to keep start codes out (00 00 03).
std::vector<std::uint8_t> unescaped(std::span<const std::uint8_t> bytes)
{
    std::vector<std::uint8_t> out;
    out.reserve(bytes.size());
    int zeros = 0;
    for (const std::uint8_t byte : bytes) {
        if (zeros >= 2 && byte == 3) {
            zeros = 0;
            continue;
        }
        zeros = byte == 0 ? zeros + 1 : 0;
        out.push_back(byte);
    }
    return out;
}

void skipScalingList(Bits& bits, int size)
{
    int last = 8;
    int next = 8;
    for (int i = 0; i < size && next != 0; ++i) {
        next = (last + bits.signedCode() + 256) % 256;
        last = next == 0 ? last : next;
    }
}

std::optional<FrameRate> read(Bits& bits)
{
    const std::uint32_t profile = bits.take(8);
    bits.take(16); // constraints and level
    bits.unsignedCode();
    constexpr std::uint32_t chromaProfiles[] = {100, 110, 122, 244, 44,  83, 86,
                                                118, 128, 138, 139, 134, 135};
    if (std::find(std::begin(chromaProfiles), std::end(chromaProfiles), profile) !=
        std::end(chromaProfiles)) {
        const std::uint32_t chroma = bits.unsignedCode();
        if (chroma == 3)
            bits.take(1);
        bits.unsignedCode();
        bits.unsignedCode();
        bits.take(1);
        if (bits.take(1)) {
            for (int i = 0; i < (chroma == 3 ? 12 : 8); ++i) {
                if (bits.take(1))
                    skipScalingList(bits, i < 6 ? 16 : 64);
            }
        }
    }
    bits.unsignedCode();
    const std::uint32_t orderType = bits.unsignedCode();
    if (orderType == 0) {
        bits.unsignedCode();
    } else if (orderType == 1) {
        bits.take(1);
        bits.signedCode();
        bits.signedCode();
        const std::uint32_t cycle = bits.unsignedCode();
        if (cycle > 255)
            throw Unreadable{};
        for (std::uint32_t i = 0; i < cycle; ++i)
            bits.signedCode();
    } else if (orderType != 2) {
        throw Unreadable{};
    }
    bits.unsignedCode();
    bits.take(1);
    bits.unsignedCode();
    bits.unsignedCode();
    if (!bits.take(1))
        bits.take(1);
    bits.take(1);
    if (bits.take(1)) {
        for (int i = 0; i < 4; ++i)
            bits.unsignedCode();
    }
    if (!bits.take(1))
        return std::nullopt; // no video usability information
    if (bits.take(1) && bits.take(8) == 255)
        bits.take(32);
    if (bits.take(1))
        bits.take(1);
    if (bits.take(1)) {
        bits.take(4);
        if (bits.take(1))
            bits.take(24);
    }
    if (bits.take(1)) {
        bits.unsignedCode();
        bits.unsignedCode();
    }
    if (!bits.take(1))
        return std::nullopt;
    const std::int64_t ticks = bits.take(32);
    const std::int64_t scale = bits.take(32);
    if (ticks == 0 || scale == 0)
        return std::nullopt;
    const std::int64_t frames = scale;
    const std::int64_t seconds = 2 * ticks;
    const std::int64_t common = std::gcd(frames, seconds);
    if (frames / common > (1 << 30) || seconds / common > (1 << 30))
        return std::nullopt;
    return FrameRate{frames / common, seconds / common};
}

} // namespace

std::optional<FrameRate> h264FrameRate(std::span<const std::uint8_t> sequenceParameterSet)
{
    try {
        Bits bits(unescaped(sequenceParameterSet));
        return read(bits);
    } catch (const Unreadable&) {
        return std::nullopt;
    }
}

} // namespace quillmark
