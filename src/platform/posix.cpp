#include "platform/posix.h"

#include <system_error>
#include <unistd.h>

namespace quillmark {

void throwErrno(const char* what, int error)
{
    throw std::system_error(error, std::generic_category(), what);
}

void FileDescriptor::reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}

} // namespace quillmark
