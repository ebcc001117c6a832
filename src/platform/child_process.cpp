#include "platform/child_process.h"

#include "platform/posix.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace quillmark {

namespace {

using Clock = std::chrono::steady_clock;

// Collected per stream; a child that writes more is still drained so that it can end.
constexpr qsizetype outputLimit = 16 * 1024 * 1024;
// How often a child that stays silent is checked for a stop request.
constexpr int stopCheckMilliseconds = 100;
// How long a child may go on after closing its outputs, and how long its outputs are still read
// after it has exited (a grandchild may hold them open). Then the child is killed, or the
// outputs are left: neither can hold up a run.
constexpr auto lingerLimit = std::chrono::milliseconds(500);

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
    bool* overflowed; // may be null
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
    if (count > room && stream.overflowed)
        *stream.overflowed = true;
    stream.collected->append(buffer.data(), std::min<qsizetype>(count, room));
    return true;
}

int exitStatusOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

// A child process that is always reaped. Its descriptor (where the kernel has them) makes its
// exit something poll can wait for.
class Child {
public:
    explicit Child(pid_t pid)
        : m_pid(pid)
        , m_fd(int(::syscall(SYS_pidfd_open, pid, 0)))
    {
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child()
    {
        if (!m_status)
            kill();
    }

    int pollDescriptor() const { return m_status ? -1 : m_fd.get(); }
    bool exited()
    {
        if (m_status)
            return true;
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) != m_pid)
            return false;
        m_status = exitStatusOf(status);
        m_exitedAt = Clock::now();
        return true;
    }
    bool exitedLongerAgoThan(Clock::duration limit) const
    {
        return m_status && Clock::now() - m_exitedAt > limit;
    }
    // Waits until the child ends; one that is asked to stop, or that outlives the limit, is
    // killed.
    int wait(const std::stop_token& stop, Clock::duration limit)
    {
        const Clock::time_point deadline = Clock::now() + limit;
        while (!exited()) {
            if (stop.stop_requested() || Clock::now() > deadline) {
                kill();
                break;
            }
            pollfd fd{m_fd.get(), POLLIN, 0};
            ::poll(&fd, 1, 10);
        }
        return *m_status;
    }

private:
    void kill()
    {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0) {
            if (errno != EINTR) {
                status = 0;
                break;
            }
        }
        m_status = exitStatusOf(status);
    }

    pid_t m_pid;
    FileDescriptor m_fd;
    std::optional<int> m_status;
    Clock::time_point m_exitedAt;
};

// What execve takes, made before a fork: the child may not allocate.
std::vector<char*> argumentVector(const std::filesystem::path& executable,
                                  const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(executable.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return argv;
}

// Started with fork and exec rather than posix_spawn, which cannot ask the kernel to end the
// child with its parent: a closed terminal or a kill of this process would leave the tool
// running on. The child does only what is safe between fork and exec; an exec that fails sends
// its error number back through a pipe that a successful exec closes.
pid_t spawn(const std::filesystem::path& executable, const std::vector<std::string>& arguments,
            const Pipe& out, const Pipe& err, std::optional<int> passing)
{
    std::vector<char*> argv = argumentVector(executable, arguments);

    Pipe failure;
    openPipe(failure);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0)
        throwErrno("fork");
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) // the parent ended before the request was made
            ::_exit(127);
        ::signal(SIGPIPE, SIG_DFL); // the tool's own way with a closed output
        // The standard streams first, so that passing the file cannot close a pipe's end. dup2
        // leaves the copy open across exec; a descriptor that already has the number keeps its
        // close-on-exec flag, which is taken off.
        auto pass = [&passing] {
            return !passing || (*passing == passedDescriptor
                                    ? ::fcntl(passedDescriptor, F_SETFD, 0) == 0
                                    : ::dup2(*passing, passedDescriptor) == passedDescriptor);
        };
        if (::dup2(out.write.get(), STDOUT_FILENO) >= 0 &&
            ::dup2(err.write.get(), STDERR_FILENO) >= 0 && pass())
            ::execve(executable.c_str(), argv.data(), environ);
        const int error = errno;
        [[maybe_unused]] const ssize_t sent = ::write(failure.write.get(), &error, sizeof error);
        ::_exit(127);
    }
    failure.write.reset();
    int error = 0;
    ssize_t received;
    while ((received = ::read(failure.read.get(), &error, sizeof error)) < 0 && errno == EINTR) {
    }
    if (received == sizeof error) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        throwErrno("exec", error);
    }
    return pid;
}

} // namespace

ChildOutput runChildProcess(const std::filesystem::path& executable,
                            const std::vector<std::string>& arguments, std::stop_token stop,
                            std::optional<std::chrono::milliseconds> timeLimit,
                            std::optional<int> passing)
{
    const Clock::time_point deadline =
        timeLimit ? Clock::now() + *timeLimit : Clock::time_point::max();
    Pipe out;
    Pipe err;
    openPipe(out);
    openPipe(err);
    Child child(spawn(executable, arguments, out, err, passing));
    out.write.reset();
    err.write.reset();

    ChildOutput output;
    std::array<Stream, 2> streams{
        Stream{&out, &output.standardOutput, &output.standardOutputOverflowed},
        Stream{&err, &output.standardError, nullptr}};
    while ((streams[0].open || streams[1].open) && !child.exitedLongerAgoThan(lingerLimit)) {
        std::array<pollfd, 3> fds{};
        for (std::size_t i = 0; i < streams.size(); ++i)
            fds[i] = pollfd{streams[i].open ? streams[i].pipe->read.get() : -1, POLLIN, 0};
        fds[2] = pollfd{child.pollDescriptor(), POLLIN, 0};
        const int ready = ::poll(fds.data(), fds.size(), stopCheckMilliseconds);
        if (ready < 0 && errno != EINTR)
            break;
        if (stop.stop_requested())
            break;
        if (Clock::now() > deadline) {
            output.timedOut = true;
            break;
        }
        for (std::size_t i = 0; i < streams.size(); ++i) {
            if (streams[i].open && (fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                streams[i].open = readAvailable(streams[i]);
        }
        child.exited();
    }
    // Closed before waiting: a child still writing gets EPIPE instead of blocking forever.
    out.read.reset();
    err.read.reset();
    output.exitStatus = child.wait(stop, output.timedOut ? Clock::duration::zero() : lingerLimit);
    return output;
}

// Two forks: the first child starts the program in a new session and ends at once, so the
// program is nobody's child here. An exec that fails sends its error back through a pipe that a
// successful exec closes.
bool startDetached(const std::filesystem::path& executable,
                   const std::vector<std::string>& arguments)
{
    std::vector<char*> argv = argumentVector(executable, arguments);
    Pipe failure;
    openPipe(failure);
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        ::setsid();
        const pid_t program = ::fork();
        if (program == 0) {
            ::execve(executable.c_str(), argv.data(), environ);
            const int error = errno;
            [[maybe_unused]] const ssize_t sent =
                ::write(failure.write.get(), &error, sizeof error);
        }
        ::_exit(program < 0 ? 127 : 0);
    }
    failure.write.reset();
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t received;
    while ((received = ::read(failure.read.get(), &error, sizeof error)) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && received == 0;
}

} // namespace quillmark
