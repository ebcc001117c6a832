// A FUSE passthrough that makes every request wait, as a network share does, reproducible on one
// machine. Usage: slow_share SOURCE MOUNT READ_MS [WRITE_MS]
// READ_MS is the wait of every open, read and listing; WRITE_MS that of every create, write,
// fsync, rename, unlink and chmod (the share is read-only without it). "never" as either makes
// those requests, and with READ_MS every request, wait for ever: a hard-mounted share that died.
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

namespace {

std::string source;
std::optional<std::chrono::milliseconds> readWait, writeWait; // nothing: never

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

int result(int status)
{
    return status < 0 ? -errno : 0;
}

int serveGetattr(const char* path, struct stat* info, fuse_file_info*)
{
    if (!readWait)
        wait(readWait);
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
    wait(writeWait);
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
    wait(writeWait);
    const ssize_t count = ::pwrite(int(file->fh), buffer, size, offset);
    return count < 0 ? -errno : int(count);
}

int serveFsync(const char*, int, fuse_file_info* file)
{
    wait(writeWait);
    return result(::fsync(int(file->fh)));
}

int serveRename(const char* from, const char* to, unsigned int)
{
    wait(writeWait);
    return result(::rename(real(from).c_str(), real(to).c_str()));
}

int serveUnlink(const char* path)
{
    wait(writeWait);
    return result(::unlink(real(path).c_str()));
}

int serveChmod(const char* path, mode_t mode, fuse_file_info*)
{
    wait(writeWait);
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
    if (argc != 4 && argc != 5) {
        std::fputs("usage: slow_share SOURCE MOUNT READ_MS [WRITE_MS]\n", stderr);
        return 2;
    }
    source = argv[1];
    readWait = waitOf(argv[3]);
    const bool writable = argc == 5;
    if (writable)
        writeWait = waitOf(argv[4]);
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
        operations.rename = serveRename;
        operations.unlink = serveUnlink;
        operations.chmod = serveChmod;
    }
    char* arguments[] = {argv[0], const_cast<char*>("-f"), const_cast<char*>("-o"),
                         const_cast<char*>(writable ? "rw" : "ro"), argv[2]};
    return fuse_main(5, arguments, &operations, nullptr);
}
