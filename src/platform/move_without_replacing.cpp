#include "platform/move_without_replacing.h"

#include "platform/posix.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {

void moveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return;
    const int error = errno;
    // Some network and FUSE file systems do not know the flag.
    if (error == EINVAL || error == ENOSYS || error == ENOTSUP)
        return moveWithoutReplacingFallback(from, to);
    throwErrno("renameat2", error);
}

void moveWithoutReplacingFallback(const std::filesystem::path& from,
                                  const std::filesystem::path& to)
{
    struct stat source {};
    if (::lstat(from.c_str(), &source) != 0)
        throwErrno("lstat");

    if (!S_ISDIR(source.st_mode)) {
        if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 0) != 0)
            throwErrno("linkat");
        if (::unlink(from.c_str()) != 0) {
            const int error = errno;
            ::unlink(to.c_str());
            throwErrno("unlink", error);
        }
        return;
    }

    // mkdir fails when anything has the name; the rename then replaces only our own empty folder.
    if (::mkdir(to.c_str(), 0700) != 0)
        throwErrno("mkdir");
    if (::rename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        ::rmdir(to.c_str());
        throwErrno("rename", error);
    }
}

} // namespace quillmark
