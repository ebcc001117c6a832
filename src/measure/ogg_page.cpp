#include "measure/ogg_page.h"

#include "measure/crc32.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quillmark {

namespace {

constexpr std::int64_t headerBytes = 27;

} // namespace

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
    std::uint32_t crc = crc32(header, 0);
    crc = crc32(page.segments, crc);
    for (std::int64_t done = 0; done < bodyBytes;) {
        const std::int64_t length = std::min(bodyBytes - done, HeaderWindow::windowBytes);
        crc = crc32({file.bytes(page.body + done, length), std::size_t(length)}, crc);
        done += length;
    }
    // libavformat checks the version only once the checksum holds; either failing, it skips on.
    if (crc == stated && header[4] == 0)
        read.outcome = OggPageRead::Outcome::page;
    return read;
}

} // namespace quillmark
