#pragma once

#include "measure/header_window.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillmark {

// One Ogg page as libavformat takes it: its header, and its body only once the checksum over
// both holds.
struct OggPage {
    static constexpr int continued = 1;
    static constexpr int firstOfStream = 2;
    static constexpr int lastOfStream = 4;
    static constexpr std::uint64_t noGranule = ~std::uint64_t(0);

    std::int64_t at = 0;
    int flags = 0;
    std::uint64_t granule = 0;
    std::uint32_t serial = 0;
    std::vector<std::uint8_t> segments;
    std::int64_t body = 0;
    std::int64_t end = 0;

    // How many packets end on the page.
    int packetsEnding() const;
};

// What lies at an offset of the file.
struct OggPageRead {
    enum class Outcome { page, notPage, cutShort };
    Outcome outcome;
    OggPage page;
};

// The page starting at the offset: not one where the capture pattern, version or checksum
// fails; cut short where the file ends inside it, or before a capture pattern could.
OggPageRead readOggPage(HeaderWindow& file, std::int64_t at);

// Ogg's checksum of the bytes, continued from `crc`: CRC-32 of polynomial 0x04C11DB7, most
// significant bit first, without inversion. A page's is taken with its checksum field zeroed.
std::uint32_t oggChecksum(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);

// The bytes [offset, offset + length) of the file, which may be longer than a window.
std::vector<std::uint8_t> readSpan(HeaderWindow& file, std::int64_t offset, std::int64_t length);

} // namespace quillmark
