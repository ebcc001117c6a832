#include "platform/paths.h"

#include <QDir>

#include <pwd.h>
#include <string_view>
#include <unistd.h>

namespace quillmark {

namespace {

std::string homeOf(const std::string& user)
{
    if (user.empty())
        return QDir::homePath().toStdString();
    const passwd* entry = ::getpwnam(user.c_str());
    return entry ? std::string(entry->pw_dir) : std::string();
}

} // namespace

std::filesystem::path homeFolder()
{
    return homeOf({});
}

std::filesystem::path expandTilde(const QString& typed)
{
    const std::string path = typed.toStdString();
    if (path.empty() || path.front() != '~')
        return path;
    const std::size_t slash = path.find('/');
    const std::string user =
        path.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
    const std::string home = homeOf(user);
    if (home.empty())
        return path; // an unknown user: the text stays as typed
    return home + (slash == std::string::npos ? std::string() : path.substr(slash));
}

std::filesystem::path normalizedPath(const std::filesystem::path& path)
{
    std::string absolute = path.native();
    if (absolute.empty() || absolute.front() != '/')
        absolute = std::filesystem::current_path().native() + '/' + absolute;

    std::string tidy;
    std::size_t start = 0;
    while (start <= absolute.size()) {
        std::size_t end = absolute.find('/', start);
        if (end == std::string::npos)
            end = absolute.size();
        const std::string_view component(absolute.data() + start, end - start);
        if (!component.empty() && component != ".") {
            tidy += '/';
            tidy += component;
        }
        start = end + 1;
    }
    return tidy.empty() ? std::filesystem::path("/") : std::filesystem::path(tidy);
}

} // namespace quillmark
