#include "platform/regular_file.h"

#include "model/path_text.h"

#include <QCoreApplication>

#include <climits>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>

namespace quillmark {

namespace {

QString kindOf(mode_t mode)
{
    const char* kind = QT_TRANSLATE_NOOP("RegularFile", "un file speciale");
    if (S_ISDIR(mode))
        kind = QT_TRANSLATE_NOOP("RegularFile", "una cartella");
    else if (S_ISFIFO(mode))
        kind = QT_TRANSLATE_NOOP("RegularFile", "una pipe (FIFO)");
    else if (S_ISCHR(mode))
        kind = QT_TRANSLATE_NOOP("RegularFile", "un dispositivo a caratteri");
    else if (S_ISBLK(mode))
        kind = QT_TRANSLATE_NOOP("RegularFile", "un dispositivo a blocchi");
    else if (S_ISSOCK(mode))
        kind = QT_TRANSLATE_NOOP("RegularFile", "un socket");
    return QCoreApplication::translate("RegularFile", kind);
}

// Where a path's last component lives: the working folder for ordinary paths, an open folder for
// paths too long for the kernel to take whole.
struct Location {
    FileDescriptor folder;
    std::string name;

    int at() const { return folder ? folder.get() : AT_FDCWD; }
};

// 0, or the error number of the folder on the way that could not be opened.
int locate(const std::filesystem::path& path, Location& location)
{
    const std::string& text = path.native();
    if (text.size() < PATH_MAX) {
        location.name = text;
        return 0;
    }
    std::size_t start = 0;
    if (text.front() == '/') {
        location.folder.reset(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
        start = 1;
    }
    for (std::size_t end; (end = text.find('/', start)) != std::string::npos; start = end + 1) {
        if (end == start)
            continue;
        const std::string component = text.substr(start, end - start);
        FileDescriptor next(
            ::openat(location.at(), component.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!next)
            return errno;
        location.folder = std::move(next);
    }
    location.name = text.substr(start);
    return 0;
}

} // namespace

NotRegularFileError::NotRegularFileError(const std::filesystem::path& file, mode_t mode)
    : std::runtime_error(
          QCoreApplication::translate("RegularFile",
                                      "«%1» non è un file normale ma %2, quindi non viene letto.")
              .arg(lastPathComponent(file), kindOf(mode))
              .toStdString())
{
}

namespace {

OpenFile checked(const std::filesystem::path& file, FileDescriptor fd)
{
    OpenFile opened{std::move(fd), {}};
    if (::fstat(opened.fd.get(), &opened.info) != 0)
        throwErrno("fstat");
    if (!S_ISREG(opened.info.st_mode))
        throw NotRegularFileError(file, opened.info.st_mode);
    return opened;
}

// Non-blocking, so that a FIFO cannot hang the open; no terminal becomes this process's.
constexpr int openFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

} // namespace

OpenFile openRegularFile(const std::filesystem::path& file, bool listedRegular)
{
    Location location;
    if (const int error = locate(file, location))
        throwErrno("open", error);
    if (listedRegular) {
        FileDescriptor fd(::openat(location.at(), location.name.c_str(), openFlags | O_NOFOLLOW));
        if (fd)
            return checked(file, std::move(fd));
        if (errno != ELOOP)
            throwErrno("open");
    }
    struct stat info {};
    if (::fstatat(location.at(), location.name.c_str(), &info, 0) != 0)
        throwErrno("stat");
    if (!S_ISREG(info.st_mode))
        throw NotRegularFileError(file, info.st_mode);
    FileDescriptor fd(::openat(location.at(), location.name.c_str(), openFlags));
    if (!fd)
        throwErrno("open");
    return checked(file, std::move(fd));
}

} // namespace quillmark
