// A FUSE passthrough that makes every request wait, as a network share does, reproducible on one
// machine. Usage: slow_share SOURCE MOUNT READ_MS [WRITE_MS] [OPTION...]
// READ_MS is the wait of every open, read and listing; WRITE_MS that of every create, write,
// fsync, rename, link, unlink, mkdir, rmdir, chmod and change of times (the share is read-only
// without it), a request that is dropped if its caller is killed meanwhile. "never" as either
// makes those requests, and with READ_MS every request, wait for ever: a hard-mounted share that
// died. Options:
//   --stat-ms MS         every stat (getattr) waits too, as on NFS once attributes expire
//   --refuse-noreplace   renames asking not to replace fail with EINVAL, as NFS and sshfs do
//   --log FILE           each fsync of a folder is written to FILE as "fsyncdir PATH"
#define FUSE_USE_VERSION 31
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fuse3/fuse.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::string source;
std::optional<std::chrono::milliseconds> readWait, writeWait; // nothing: never
std::chrono::milliseconds statWait{0};
bool refuseNoReplace = false;
FILE* fsyncLog = nullptr;

std::string real(const char* path)
{
    return source + path;
}

void wait(const std::optional<std::chrono::milliseconds>& time)
{
    if (time) {
        std::this_thread::sleep_for(*time);
        return;
    }
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

// A write whose caller is killed while it waits is dropped, as a network client killed before
// sending it would have: the kernel tells the server with an interrupt.
bool waitedToWrite()
{
    wait(writeWait);
    return !fuse_interrupted();
}

int result(int status)
{
    return status < 0 ? -errno : 0;
}

int serveGetattr(const char* path, struct stat* info, fuse_file_info*)
{
    if (!readWait)
        wait(readWait);
    std::this_thread::sleep_for(statWait);
    return result(::lstat(real(path).c_str(), info));
}

int serveReaddir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
                 fuse_readdir_flags)
{
    wait(readWait);
    DIR* dir = ::opendir(real(path).c_str());
    if (!dir)
        return -errno;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat info {};
        info.st_ino = entry->d_ino;
        info.st_mode = mode_t(entry->d_type) << 12;
        fill(buffer, entry->d_name, &info, 0, fuse_fill_dir_flags(0));
    }
    ::closedir(dir);
    return 0;
}

int serveOpen(const char* path, fuse_file_info* file)
{
    wait((file->flags & O_ACCMODE) == O_RDONLY ? readWait : writeWait);
    const int fd = ::open(real(path).c_str(), file->flags);
    if (fd < 0)
        return -errno;
    file->fh = std::uint64_t(fd);
    return 0;
}

int serveCreate(const char* path, mode_t mode, fuse_file_info* file)
{
    if (!waitedToWrite())
        return -EINTR;
    const int fd = ::open(real(path).c_str(), file->flags, mode);
    if (fd < 0)
        return -errno;
    file->fh = std::uint64_t(fd);
    return 0;
}

int serveRead(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* file)
{
    wait(readWait);
    const ssize_t count = ::pread(int(file->fh), buffer, size, offset);
    return count < 0 ? -errno : int(count);
}

int serveWrite(const char*, const char* buffer, size_t size, off_t offset, fuse_file_info* file)
{
    if (!waitedToWrite())
        return -EINTR;
    const ssize_t count = ::pwrite(int(file->fh), buffer, size, offset);
    return count < 0 ? -errno : int(count);
}

int serveFsync(const char*, int, fuse_file_info* file)
{
    if (!waitedToWrite())
        return -EINTR;
    return result(::fsync(int(file->fh)));
}

int serveRename(const char* from, const char* to, unsigned int flags)
{
    if (!waitedToWrite())
        return -EINTR;
    if (flags != 0 && refuseNoReplace)
        return -EINVAL;
    return result(::renameat2(AT_FDCWD, real(from).c_str(), AT_FDCWD, real(to).c_str(), flags));
}

int serveLink(const char* from, const char* to)
{
    if (!waitedToWrite())
        return -EINTR;
    return result(::link(real(from).c_str(), real(to).c_str()));
}

int serveMkdir(const char* path, mode_t mode)
{
    if (!waitedToWrite())
        return -EINTR;
    return result(::mkdir(real(path).c_str(), mode));
}

int serveRmdir(const char* path)
{
    if (!waitedToWrite())
        return -EINTR;
    return result(::rmdir(real(path).c_str()));
}

int serveUtimens(const char* path, const timespec times[2], fuse_file_info*)
{
    if (!waitedToWrite())
        return -EINTR;
    return result(::utimensat(AT_FDCWD, real(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

int serveFsyncdir(const char* path, int, fuse_file_info*)
{
    if (!waitedToWrite())
        return -EINTR;
    if (fsyncLog) {
        std::fprintf(fsyncLog, "fsyncdir %s\n", path);
        std::fflush(fsyncLog);
    }
    return 0;
}

int serveUnlink(const char* path)
{
    if (!waitedToWrite())
        return -EINTR;
    return result(::unlink(real(path).c_str()));
}

int serveChmod(const char* path, mode_t mode, fuse_file_info*)
{
    if (!waitedToWrite())
        return -EINTR;
    return result(::chmod(real(path).c_str(), mode));
}

int serveRelease(const char*, fuse_file_info* file)
{
    ::close(int(file->fh));
    return 0;
}

std::optional<std::chrono::milliseconds> waitOf(const char* text)
{
    if (std::strcmp(text, "never") == 0)
        return std::nullopt;
    return std::chrono::milliseconds(std::atoi(text));
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--stat-ms" && i + 1 < argc)
            statWait = std::chrono::milliseconds(std::atoi(argv[++i]));
        else if (argument == "--refuse-noreplace")
            refuseNoReplace = true;
        else if (argument == "--log" && i + 1 < argc)
            fsyncLog = std::fopen(argv[++i], "a");
        else
            positional.push_back(argv[i]);
    }
    if (positional.size() != 3 && positional.size() != 4) {
        std::fputs("usage: slow_share SOURCE MOUNT READ_MS [WRITE_MS] [--stat-ms MS] "
                   "[--refuse-noreplace] [--log FILE]\n",
                   stderr);
        return 2;
    }
    source = positional[0];
    readWait = waitOf(positional[2]);
    const bool writable = positional.size() == 4;
    if (writable)
        writeWait = waitOf(positional[3]);
    fuse_operations operations{};
    operations.getattr = serveGetattr;
    operations.readdir = serveReaddir;
    operations.open = serveOpen;
    operations.read = serveRead;
    operations.release = serveRelease;
    if (writable) {
        operations.create = serveCreate;
        operations.write = serveWrite;
        operations.fsync = serveFsync;
        operations.fsyncdir = serveFsyncdir;
        operations.rename = serveRename;
        operations.link = serveLink;
        operations.unlink = serveUnlink;
        operations.mkdir = serveMkdir;
        operations.rmdir = serveRmdir;
        operations.chmod = serveChmod;
        operations.utimens = serveUtimens;
    }
    char* arguments[] = {argv[0], const_cast<char*>("-f"), const_cast<char*>("-o"),
                         const_cast<char*>(writable ? "rw" : "ro"), positional[1]};
    return fuse_main(5, arguments, &operations, nullptr);
}
