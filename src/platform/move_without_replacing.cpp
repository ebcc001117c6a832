#include "platform/move_without_replacing.h"

#include "platform/posix.h"

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillmark {

namespace {

// What the placeholder folder of a folder's move looks like: private, sticky (which nobody sets on
// a private folder), and dated the first second of 1970 for file systems that drop the sticky bit.
constexpr mode_t placeholderMode = S_ISVTX | 0700;
constexpr time_t placeholderTime = 1;

std::filesystem::path parentOf(const std::filesystem::path& path)
{
    return path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
}

bool isPlaceholder(const std::filesystem::path& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() &&
           ((info.st_mode & 07777) == placeholderMode || info.st_mtim.tv_sec == placeholderTime);
}

// Claims the name with an empty folder of its own, marked as one, replacing the mark a killed
// move left there: rmdir removes it only while it is still empty.
void claimName(const std::filesystem::path& to)
{
    if (::mkdir(to.c_str(), placeholderMode) != 0) {
        const int error = errno;
        if (error != EEXIST || !isPlaceholder(to) || ::rmdir(to.c_str()) != 0)
            throwErrno("mkdir", error);
        if (::mkdir(to.c_str(), placeholderMode) != 0)
            throwErrno("mkdir");
    }
    const timespec times[2] = {{placeholderTime, 0}, {placeholderTime, 0}};
    ::utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

} // namespace

void moveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to)
{
    int moved = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    // The mark of a move killed on a share without the flag, which the kernel finds first.
    if (moved != 0 && errno == EEXIST && isPlaceholder(to) && ::rmdir(to.c_str()) == 0)
        moved = ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
    if (moved == 0) {
        syncFolder(parentOf(to));
        return;
    }
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
        syncFolder(parentOf(to));
        return;
    }

    // mkdir fails when anything has the name; the rename then replaces only our own empty folder.
    claimName(to);
    if (::rename(from.c_str(), to.c_str()) != 0) {
        const int error = errno;
        ::rmdir(to.c_str());
        throwErrno("rename", error);
    }
    syncFolder(parentOf(to));
}

} // namespace quillmark
