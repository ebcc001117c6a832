#include "platform/posix.h"

#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace quillmark {

void throwErrno(const char* what, int error)
{
    throw std::system_error(error, std::generic_category(), what);
}

void syncFolder(const std::filesystem::path& folder)
{
    const FileDescriptor fd(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd)
        ::fsync(fd.get());
}

void FileDescriptor::reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}

} // namespace quillmark
