#pragma once

#include "scan/media_duration_provider.h"

#include <QString>

#include <chrono>
#include <optional>

namespace quillmark {

// The fallback provider: runs the ffprobe tool for one file and reads the one number it prints.
class FFprobeDurationProvider final : public MediaDurationProvider {
public:
    // Far beyond what reading a duration takes: a tool that is still running then is stuck (on a
    // file that is not what its name says, or a share that went away) and is killed.
    static constexpr std::chrono::seconds defaultTimeLimit{60};

    explicit FFprobeDurationProvider(std::optional<std::filesystem::path> executableURL,
                                     std::chrono::milliseconds timeLimit = defaultTimeLimit);

    double duration(const std::filesystem::path& file, std::stop_token stop = {}) const override;
    // The tool's path and modification time: installing or updating it is noticed.
    QString identity() const override;

private:
    std::optional<std::filesystem::path> m_executableURL;
    std::chrono::milliseconds m_timeLimit;
};

// The first executable of the usual install places, or nothing.
std::optional<std::filesystem::path> locateFFprobe();

} // namespace quillmark
