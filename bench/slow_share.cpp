// A read-only FUSE passthrough that waits a fixed time on every open, read and directory
// listing: a network share, reproducible on one machine. Usage: slow_share SOURCE MOUNT MS
#define FUSE_USE_VERSION 31
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fuse3/fuse.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string source;
useconds_t latency = 0;

std::string real(const char* path)
{
    return source + path;
}

void roundTrip()
{
    ::usleep(latency);
}

int getattr(const char* path, struct stat* info, fuse_file_info*)
{
    return ::lstat(real(path).c_str(), info) == 0 ? 0 : -errno;
}

int readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags)
{
    roundTrip();
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

int open(const char* path, fuse_file_info* file)
{
    roundTrip();
    const int fd = ::open(real(path).c_str(), O_RDONLY);
    if (fd < 0)
        return -errno;
    file->fh = std::uint64_t(fd);
    return 0;
}

int read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* file)
{
    roundTrip();
    const ssize_t count = ::pread(int(file->fh), buffer, size, offset);
    return count < 0 ? -errno : int(count);
}

int release(const char*, fuse_file_info* file)
{
    ::close(int(file->fh));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: slow_share SOURCE MOUNT MILLISECONDS\n", stderr);
        return 2;
    }
    source = argv[1];
    latency = useconds_t(std::atoi(argv[3]) * 1000);
    fuse_operations operations{};
    operations.getattr = getattr;
    operations.readdir = readdir;
    operations.open = open;
    operations.read = read;
    operations.release = release;
    char* arguments[] = {argv[0], const_cast<char*>("-f"), const_cast<char*>("-o"),
                         const_cast<char*>("ro"), argv[2]};
    return fuse_main(5, arguments, &operations, nullptr);
}
