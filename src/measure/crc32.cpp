#include "measure/crc32.h"

#include <array>

namespace quillmark {

namespace {

constexpr std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> entries{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i << 24;
        for (int bit = 0; bit < 8; ++bit)
            value = value & 0x80000000u ? value << 1 ^ 0x04C11DB7u : value << 1;
        entries[i] = value;
    }
    return entries;
}();

} // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc)
{
    for (const std::uint8_t byte : bytes)
        crc = crc << 8 ^ table[(crc >> 24 ^ byte) & 0xFF];
    return crc;
}

} // namespace quillmark
