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

} // namespace quillmark
