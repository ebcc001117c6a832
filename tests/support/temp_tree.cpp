#include "support/temp_tree.h"

#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quillmark::test {

TempTree::TempTree()
    : m_root(m_dir.path().toStdString())
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

namespace {

// Folder by folder relative to its parent, so that trees deeper than PATH_MAX go too.
void removeEntry(int parent, const char* name)
{
    if (::unlinkat(parent, name, 0) == 0)
        return;
    const int folder = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0)
        return;
    if (DIR* dir = ::fdopendir(folder)) {
        std::vector<std::string> names;
        while (const dirent* entry = ::readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.emplace_back(entry->d_name);
        }
        for (const std::string& child : names)
            removeEntry(::dirfd(dir), child.c_str());
        ::closedir(dir);
    } else {
        ::close(folder);
    }
    ::unlinkat(parent, name, AT_REMOVEDIR);
}

} // namespace

TempTree::~TempTree()
{
    // By raw path first: QTemporaryDir cannot remove names that are not UTF-8.
    removeEntry(AT_FDCWD, m_root.c_str());
}

std::filesystem::path TempTree::path(const std::string& relative) const
{
    return m_root / relative;
}

std::filesystem::path TempTree::file(const std::string& relative, const std::string& content) const
{
    const std::filesystem::path target = path(relative);
    std::filesystem::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << content;
    return target;
}

std::filesystem::path TempTree::folder(const std::string& relative) const
{
    const std::filesystem::path target = path(relative);
    std::filesystem::create_directories(target);
    return target;
}

// Folders opened one inside the other: a path that long cannot be created in one call.
std::string TempTree::deepFile(const std::string& start, const std::string& name,
                               const std::string& content) const
{
    std::string path = folder(start).native();
    int parent = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::string level(100, 'd');
    while (path.size() < PATH_MAX + 200) {
        ::mkdirat(parent, level.c_str(), 0700);
        const int next = ::openat(parent, level.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(parent);
        parent = next;
        path += "/" + level;
    }
    const int file = ::openat(parent, name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (file < 0 || ::write(file, content.data(), content.size()) != ssize_t(content.size()))
        throw std::runtime_error("cannot create a file that deep");
    ::close(file);
    ::close(parent);
    return path + "/" + name;
}

std::filesystem::path TempTree::symlink(const std::string& relative,
                                        const std::filesystem::path& target) const
{
    const std::filesystem::path link = path(relative);
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_symlink(target, link);
    return link;
}

std::string contents(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace quillmark::test
