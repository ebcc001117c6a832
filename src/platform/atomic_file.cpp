#include "platform/atomic_file.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace quillmark {

namespace {

[[noreturn]] void fail(const char* what, int error, const std::string& temporary = {})
{
    if (!temporary.empty())
        ::unlink(temporary.c_str());
    throw std::system_error(error, std::generic_category(), what);
}

// Created with mode 0666, so the process's umask applies as to any new file.
int createTemporary(const std::filesystem::path& file, std::string& temporary)
{
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray suffix = QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        temporary =
            (folder / ("." + file.filename().native() + "." + suffix.toStdString())).native();
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// An existing file keeps its permissions.
bool keepPermissions(int fd, const std::filesystem::path& file)
{
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0)
        return true;
    return ::fchmod(fd, info.st_mode & 07777) == 0;
}

void writeAll(int fd, const QByteArray& bytes, const std::string& temporary)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t count =
            ::write(fd, bytes.constData() + written, std::size_t(bytes.size() - written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            const int error = errno;
            ::close(fd);
            fail("write", error, temporary);
        }
        written += count;
    }
}

} // namespace

void writeFileAtomically(const std::filesystem::path& file, const QByteArray& bytes)
{
    std::string temporary;
    const int fd = createTemporary(file, temporary);
    if (fd < 0)
        fail("open", errno);
    writeAll(fd, bytes, temporary);
    if (!keepPermissions(fd, file) || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        fail("fsync", error, temporary);
    }
    if (::close(fd) != 0)
        fail("close", errno, temporary);
    if (::rename(temporary.c_str(), file.c_str()) != 0)
        fail("rename", errno, temporary);
}

} // namespace quillmark
