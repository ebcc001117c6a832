#include "platform/atomic_file.h"

#include "platform/posix.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace quillmark {

namespace {

// Short, so that a target whose name is as long as a name can be still gets a temporary file.
constexpr const char* temporaryName = ".quillmark.tmp";

// A temporary file, locked for as long as it is being written, removed unless committed.
class Temporary {
public:
    Temporary(std::string path, FileDescriptor fd)
        : m_path(std::move(path))
        , m_fd(std::move(fd))
    {
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary()
    {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }

    int fd() const { return m_fd.get(); }
    const std::string& path() const { return m_path; }
    void committed() { m_path.clear(); }

private:
    std::string m_path;
    FileDescriptor m_fd;
};

std::filesystem::path folderOf(const std::filesystem::path& file)
{
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// The lock marks it as in use: a temporary file nobody holds a lock on was left by a write that
// was killed. (Where the file system has no locks, it is only never taken for abandoned.)
FileDescriptor createLocked(const std::string& path, mode_t mode)
{
    FileDescriptor fd(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (fd)
        ::flock(fd.get(), LOCK_EX | LOCK_NB);
    return fd;
}

// Removes the temporary file of a killed write, if that is what the name holds.
void removeIfAbandoned(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat held {};
    struct stat named {};
    if (!fd || ::fstat(fd.get(), &held) != 0 || !S_ISREG(held.st_mode) ||
        ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
        return;
    // Still the file that was locked, not one a new write has put there meanwhile.
    if (::lstat(path.c_str(), &named) == 0 && named.st_ino == held.st_ino &&
        named.st_dev == held.st_dev)
        ::unlink(path.c_str());
}

Temporary createTemporary(const std::filesystem::path& file, mode_t mode)
{
    const std::string path = (folderOf(file) / temporaryName).native();
    FileDescriptor fd = createLocked(path, mode);
    if (!fd && errno == EEXIST) {
        removeIfAbandoned(path);
        fd = createLocked(path, mode);
    }
    if (fd)
        return Temporary(path, std::move(fd));
    // Another write into this folder is under way: a name of its own.
    for (int attempt = 0; attempt < 100 && errno == EEXIST; ++attempt) {
        const std::string unique =
            (folderOf(file) /
             (".quillmark-" +
              QByteArray::number(QRandomGenerator::global()->generate(), 36).toStdString() +
              ".tmp"))
                .native();
        fd = createLocked(unique, mode);
        if (fd)
            return Temporary(unique, std::move(fd));
    }
    throwErrno("open");
}

// A regular file of the user's that is replaced keeps its permissions, without the set-user-ID,
// set-group-ID and sticky bits. Another user's file (in a folder all may write to) lends nothing:
// its mode says what that user wanted, and 0777 would open the new file to everyone. A symbolic
// link is replaced, not followed, so its target's mode is not taken either.
std::optional<mode_t> keptPermissions(const std::filesystem::path& file)
{
    struct stat info {};
    if (::lstat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid())
        return std::nullopt;
    return info.st_mode & 0777;
}

void writeAll(int fd, const QByteArray& bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t count =
            ::write(fd, bytes.constData() + written, std::size_t(bytes.size() - written));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throwErrno("write");
        written += count;
    }
}

} // namespace

// The temporary file has its final permissions before its first byte, so a private report is
// never readable while it is rewritten, nor when a kill leaves the temporary file behind: one
// that replaces a file is made private, then given that file's mode; a new one gets the usual
// permissions, which the umask sets.
void writeFileAtomically(const std::filesystem::path& file, const QByteArray& bytes)
{
    const std::optional<mode_t> kept = keptPermissions(file);
    Temporary temporary = createTemporary(file, kept ? 0600 : 0666);
    if (kept && ::fchmod(temporary.fd(), *kept) != 0)
        throwErrno("fchmod");
    writeAll(temporary.fd(), bytes);
    if (::fsync(temporary.fd()) != 0)
        throwErrno("fsync");
    if (::rename(temporary.path().c_str(), file.c_str()) != 0)
        throwErrno("rename");
    temporary.committed();
    syncFolder(folderOf(file));
}

} // namespace quillmark
