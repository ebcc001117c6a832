#include "support/mounted_share.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace quillmark::test {

namespace {

// Read from /proc, never from the mount itself, which may not answer.
bool listedAsMounted(const std::filesystem::path& mount)
{
    std::ifstream mounts("/proc/self/mountinfo");
    for (std::string line; std::getline(mounts, line);) {
        if (line.find(" " + mount.native() + " ") != std::string::npos)
            return true;
    }
    return false;
}

} // namespace

MountedShare::MountedShare(const std::filesystem::path& source, const std::filesystem::path& mount,
                           const std::string& readWait, const std::string& writeWait,
                           const std::vector<std::string>& options)
    : m_mount(mount)
{
#ifdef QUILLMARK_SLOW_SHARE
    std::vector<std::string> arguments{QUILLMARK_SLOW_SHARE, source.native(), mount.native(),
                                       readWait};
    if (!writeWait.empty())
        arguments.push_back(writeWait);
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t server = -1;
    if (::posix_spawn(&server, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return;
    m_server = server;
    for (int attempt = 0; attempt < 100 && !m_mounted; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        m_mounted = listedAsMounted(mount);
    }
#else
    (void)source, (void)readWait, (void)writeWait, (void)options;
#endif
}

// The server goes first: requests still waiting on it then fail instead of waiting for ever.
MountedShare::~MountedShare()
{
    if (m_server < 0)
        return;
    ::kill(m_server, SIGKILL);
    ::waitpid(m_server, nullptr, 0);
    const std::string unmount = "fusermount3 -u -z '" + m_mount.native() + "' 2>/dev/null";
    [[maybe_unused]] const int status = std::system(unmount.c_str());
}

} // namespace quillmark::test
