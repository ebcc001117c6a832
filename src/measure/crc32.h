#pragma once

#include <cstdint>
#include <span>

namespace quillmark {

// The CRC-32 of polynomial 0x04C11DB7, most significant bit first and without reflection or final
// inversion, continued from `crc`: Ogg's page checksum starts it at 0, MPEG's section checksum
// at 0xFFFFFFFF (a whole section, checksum included, then gives 0).
std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc);

} // namespace quillmark
