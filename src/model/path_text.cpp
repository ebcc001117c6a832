#include "model/path_text.h"

#include <QByteArrayView>

#include <cstring>

namespace quillmark {

namespace {

// A byte-order mark at the start of a name is part of the name: kept like any other character
// (fromUtf8 would drop it), so a name reads the same alone and at the end of its path.
QString decoded(const char* bytes, std::size_t size)
{
    if (size >= 3 && std::memcmp(bytes, "\xef\xbb\xbf", 3) == 0)
        return QChar(0xFEFF) + QString::fromUtf8(bytes + 3, qsizetype(size - 3));
    return QString::fromUtf8(bytes, qsizetype(size));
}

} // namespace

QString pathText(const std::filesystem::path& path)
{
    const std::string& bytes = path.native();
    return decoded(bytes.data(), bytes.size());
}

bool isUtf8Path(const std::filesystem::path& path)
{
    return QByteArrayView(path.native()).isValidUtf8();
}

QString lastPathComponent(const std::filesystem::path& path)
{
    const std::string& bytes = path.native();
    const std::size_t end = bytes.find_last_not_of('/');
    if (end == std::string::npos)
        return bytes.empty() ? QString() : QStringLiteral("/");
    const std::size_t slash = bytes.find_last_of('/', end);
    const std::size_t begin = slash == std::string::npos ? 0 : slash + 1;
    return decoded(bytes.data() + begin, end + 1 - begin);
}

} // namespace quillmark
