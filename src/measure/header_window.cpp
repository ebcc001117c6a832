#include "measure/header_window.h"

#include <algorithm>

namespace quillmark {

HeaderWindow::HeaderWindow(std::int64_t fileSize, const ReadAt& readAt)
    : m_fileSize(fileSize)
    , m_readAt(readAt)
{
}

const std::uint8_t* HeaderWindow::bytes(std::int64_t offset, std::int64_t length)
{
    if (offset < 0 || length < 0 || length > windowBytes || offset > m_fileSize - length)
        throw HeaderDeclined{};
    if (offset >= m_start && offset + length <= m_start + std::int64_t(m_bytes.size()))
        return m_bytes.data() + (offset - m_start);
    if (++m_requests > mostRequests)
        throw HeaderDeclined{};
    m_bytes.resize(std::size_t(std::min(m_requestBytes, m_fileSize - offset)));
    const std::int64_t read = m_readAt(offset, m_bytes);
    if (read < length)
        throw HeaderDeclined{};
    m_bytes.resize(std::size_t(read));
    m_start = offset;
    return m_bytes.data();
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
