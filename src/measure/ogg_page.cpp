#include "measure/ogg_page.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quillmark {

namespace {

constexpr std::int64_t headerBytes = 27;

constexpr std::array<std::uint32_t, 256> crcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t value = i << 24;
        for (int bit = 0; bit < 8; ++bit)
            value = value & 0x80000000u ? value << 1 ^ 0x04C11DB7u : value << 1;
        table[i] = value;
    }
    return table;
}();

} // namespace

std::uint32_t oggChecksum(std::span<const std::uint8_t> bytes, std::uint32_t crc)
{
    for (const std::uint8_t byte : bytes)
        crc = crc << 8 ^ crcTable[(crc >> 24 ^ byte) & 0xFF];
    return crc;
}

int OggPage::packetsEnding() const
{
    return int(std::count_if(segments.begin(), segments.end(),
                             [](std::uint8_t lacing) { return lacing < 255; }));
}

OggPageRead readOggPage(HeaderWindow& file, std::int64_t at)
{
    OggPageRead read{OggPageRead::Outcome::cutShort, {}};
    const std::int64_t available = std::min(file.fileSize() - at, headerBytes);
    if (available < 4)
        return read;
    std::array<std::uint8_t, headerBytes> header{};
    std::memcpy(header.data(), file.bytes(at, available), std::size_t(available));
    if (std::memcmp(header.data(), "OggS", 4) != 0) {
        read.outcome = OggPageRead::Outcome::notPage;
        return read;
    }
    if (available < headerBytes)
        return read;
    read.outcome = OggPageRead::Outcome::notPage;
    OggPage& page = read.page;
    page.at = at;
    page.flags = header[5];
    page.granule = littleEndian<std::uint64_t>(&header[6]);
    page.serial = littleEndian<std::uint32_t>(&header[14]);
    const std::uint32_t stated = littleEndian<std::uint32_t>(&header[22]);
    const int segmentCount = header[26];
    if (file.fileSize() - at - headerBytes < segmentCount) {
        read.outcome = OggPageRead::Outcome::cutShort;
        return read;
    }
    const std::uint8_t* lacing = file.bytes(at + headerBytes, segmentCount);
    page.segments.assign(lacing, lacing + segmentCount);
    page.body = at + headerBytes + segmentCount;
    std::int64_t bodyBytes = 0;
    for (const std::uint8_t segment : page.segments)
        bodyBytes += segment;
    page.end = page.body + bodyBytes;
    if (page.end > file.fileSize()) {
        read.outcome = OggPageRead::Outcome::cutShort;
        return read;
    }

    std::fill(header.begin() + 22, header.begin() + 26, 0);
    std::uint32_t crc = oggChecksum(header);
    crc = oggChecksum(page.segments, crc);
    for (std::int64_t done = 0; done < bodyBytes;) {
        const std::int64_t length = std::min(bodyBytes - done, HeaderWindow::windowBytes);
        crc = oggChecksum({file.bytes(page.body + done, length), std::size_t(length)}, crc);
        done += length;
    }
    // libavformat checks the version only once the checksum holds; either failing, it skips on.
    if (crc == stated && header[4] == 0)
        read.outcome = OggPageRead::Outcome::page;
    return read;
}

std::vector<std::uint8_t> readSpan(HeaderWindow& file, std::int64_t offset, std::int64_t length)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::size_t(length));
    for (std::int64_t done = 0; done < length;) {
        const std::int64_t part = std::min(length - done, HeaderWindow::windowBytes);
        const std::uint8_t* at = file.bytes(offset + done, part);
        bytes.insert(bytes.end(), at, at + part);
        done += part;
    }
    return bytes;
}

} // namespace quillmark
