#pragma once

#include <cerrno>
#include <dirent.h>
#include <filesystem>
#include <memory>

namespace quillmark {

// Throws std::system_error with the error number of a failed system call.
[[noreturn]] void throwErrno(const char* what, int error = errno);

// Owns one file descriptor and closes it.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) noexcept
        : m_fd(fd)
    {
    }
    FileDescriptor(FileDescriptor&& other) noexcept
        : m_fd(other.release())
    {
    }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void reset(int fd = -1);

private:
    int m_fd;
};

// Makes the names in a folder last, as git and SQLite do after a rename into it: without it a
// power cut can undo the rename. Best effort: a file system that cannot sync a folder, or a
// folder that cannot be opened, leaves the rename as safe as it was.
void syncFolder(const std::filesystem::path& folder);

// Owns an open directory stream and closes it.
struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

} // namespace quillmark
