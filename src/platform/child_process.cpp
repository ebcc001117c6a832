#include "platform/child_process.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace quillmark {

namespace {

// Collected per stream; a child that writes more is still drained so that it can end.
constexpr qsizetype outputLimit = 16 * 1024 * 1024;
// How often a child that stays silent is checked for a stop request.
constexpr int stopCheckMilliseconds = 100;

[[noreturn]] void throwErrno(const char* what, int error = errno)
{
    throw std::system_error(error, std::generic_category(), what);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1)
        : m_fd(fd)
    {
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    int get() const { return m_fd; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

struct Pipe {
    FileDescriptor read;
    FileDescriptor write;
};

// Close-on-exec, so that children started at the same time by other threads never inherit
// this pipe and hold it open.
void openPipe(Pipe& pipe)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throwErrno("pipe2");
    pipe.read.reset(fds[0]);
    pipe.write.reset(fds[1]);
}

struct Stream {
    const Pipe* pipe;
    QByteArray* collected;
    bool* overflowed;
    bool open = true;
};

// Reads what is available; false at end of stream.
bool readAvailable(Stream& stream)
{
    std::array<char, 65536> buffer;
    const ssize_t count = ::read(stream.pipe->read.get(), buffer.data(), buffer.size());
    if (count < 0)
        return errno == EINTR || errno == EAGAIN;
    if (count == 0)
        return false;
    const qsizetype room = outputLimit - stream.collected->size();
    if (count > room)
        *stream.overflowed = true;
    stream.collected->append(buffer.data(), std::min<qsizetype>(count, room));
    return true;
}

int waitForExit(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return 128;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

pid_t spawn(const std::filesystem::path& executable, const std::vector<std::string>& arguments,
            const Pipe& out, const Pipe& err)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(executable.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out.write.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.write.get(), STDERR_FILENO);
    pid_t pid = 0;
    const int error =
        posix_spawn(&pid, executable.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throwErrno("posix_spawn", error);
    return pid;
}

} // namespace

ChildOutput runChildProcess(const std::filesystem::path& executable,
                            const std::vector<std::string>& arguments, std::stop_token stop)
{
    Pipe out;
    Pipe err;
    openPipe(out);
    openPipe(err);
    const pid_t pid = spawn(executable, arguments, out, err);
    out.write.reset();
    err.write.reset();

    ChildOutput output;
    std::array<Stream, 2> streams{
        Stream{&out, &output.standardOutput, &output.standardOutputOverflowed},
        Stream{&err, &output.standardError, &output.standardErrorOverflowed}};
    while (streams[0].open || streams[1].open) {
        std::array<pollfd, 2> fds{};
        for (std::size_t i = 0; i < streams.size(); ++i)
            fds[i] = pollfd{streams[i].open ? streams[i].pipe->read.get() : -1, POLLIN, 0};
        const int ready = ::poll(fds.data(), fds.size(), stopCheckMilliseconds);
        if (ready < 0 && errno != EINTR)
            break;
        if (stop.stop_requested()) {
            ::kill(pid, SIGKILL);
            break;
        }
        for (std::size_t i = 0; i < streams.size(); ++i) {
            if (streams[i].open && (fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                streams[i].open = readAvailable(streams[i]);
        }
    }
    // Closed before waiting: a child still writing gets EPIPE instead of blocking forever.
    out.read.reset();
    err.read.reset();
    output.exitStatus = waitForExit(pid);
    return output;
}

} // namespace quillmark
