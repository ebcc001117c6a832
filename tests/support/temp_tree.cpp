#include "support/temp_tree.h"

#include <fstream>
#include <stdexcept>

namespace quillmark::test {

TempTree::TempTree()
    : m_root(m_dir.path().toStdString())
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

TempTree::~TempTree()
{
    // By raw path first: QTemporaryDir cannot remove names that are not UTF-8.
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
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

std::filesystem::path TempTree::symlink(const std::string& relative,
                                        const std::filesystem::path& target) const
{
    const std::filesystem::path link = path(relative);
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::create_symlink(target, link);
    return link;
}

} // namespace quillmark::test
