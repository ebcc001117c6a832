#include "model/path_text.h"

#include <QStringDecoder>

namespace quillmark {

namespace {

// A byte-order mark at the start of a name is part of the name: decoded like any other character,
// so a name reads the same alone and at the end of its path.
QString decoded(const char* bytes, std::size_t size)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(bytes, qsizetype(size)));
}

} // namespace

QString pathText(const std::filesystem::path& path)
{
    const std::string& bytes = path.native();
    return decoded(bytes.data(), bytes.size());
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
