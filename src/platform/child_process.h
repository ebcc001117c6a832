#pragma once

#include <QByteArray>

#include <chrono>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace quillmark {

struct ChildOutput {
    int exitStatus = 0; // the exit code, or 128 + the signal that ended the child
    QByteArray standardOutput;
    QByteArray standardError;
    // More was written to standard output than is collected; the rest was read and dropped.
    bool standardOutputOverflowed = false;
    // The child outlived the time limit and was killed.
    bool timedOut = false;
};

// The descriptor a child is given of its parent's, besides its standard streams: its "/dev/fd/3".
inline constexpr int passedDescriptor = 3;

// Runs an executable with arguments given as raw bytes, with standard input, working folder
// and environment inherited, and collects both outputs until the child ends. Both pipes are
// drained together, so a child that writes a lot never blocks. With `passing`, the child also
// holds that open file as its descriptor passedDescriptor. Throws std::system_error when the
// child cannot be started. A stop request, or the time limit when there is one, kills the child;
// the child is always reaped.
ChildOutput runChildProcess(const std::filesystem::path& executable,
                            const std::vector<std::string>& arguments, std::stop_token stop = {},
                            std::optional<std::chrono::milliseconds> timeLimit = std::nullopt,
                            std::optional<int> passing = std::nullopt);

// Starts a program that outlives the request and this process (a video player, a file
// manager), with arguments as raw bytes: it runs in a session of its own and nothing waits for it.
// False when it could not be started.
bool startDetached(const std::filesystem::path& executable,
                   const std::vector<std::string>& arguments);

} // namespace quillmark
