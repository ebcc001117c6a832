#include "model/path_text.h"

namespace quillmark {

QString pathText(const std::filesystem::path& path)
{
    const std::string& bytes = path.native();
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

QString lastPathComponent(const std::filesystem::path& path)
{
    const std::string& bytes = path.native();
    const std::size_t end = bytes.find_last_not_of('/');
    if (end == std::string::npos)
        return bytes.empty() ? QString() : QStringLiteral("/");
    const std::size_t slash = bytes.find_last_of('/', end);
    const std::size_t begin = slash == std::string::npos ? 0 : slash + 1;
    return QString::fromUtf8(bytes.data() + begin, qsizetype(end + 1 - begin));
}

} // namespace quillmark
