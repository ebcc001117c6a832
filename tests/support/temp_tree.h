#pragma once

#include <QTemporaryDir>

#include <filesystem>
#include <string>

namespace quillmark::test {

// A folder tree in a fresh temporary folder, removed with the object. Relative paths are raw
// bytes, so names that are not valid UTF-8 can be made too.
class TempTree {
public:
    TempTree();
    ~TempTree();

    const std::filesystem::path& root() const { return m_root; }
    std::filesystem::path path(const std::string& relative) const;

    std::filesystem::path file(const std::string& relative, const std::string& content = {}) const;
    std::filesystem::path folder(const std::string& relative) const;
    // `name` with `content` in folders nested below `start` until its path outgrows PATH_MAX.
    std::string deepFile(const std::string& start, const std::string& name,
                         const std::string& content = {}) const;
    std::filesystem::path symlink(const std::string& relative,
                                  const std::filesystem::path& target) const;

private:
    QTemporaryDir m_dir;
    std::filesystem::path m_root;
};

// The bytes of a file; empty when it cannot be read.
std::string contents(const std::filesystem::path& file);

} // namespace quillmark::test
