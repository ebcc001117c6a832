#pragma once

#include "measure/media_duration_provider.h"

#include <QString>
#include <QThread>

#include <chrono>
#include <memory>
#include <optional>
#include <semaphore>

namespace quillmark {

// The fallback provider: runs the ffprobe tool for one file and reads the one number it prints.
class FFprobeDurationProvider final : public MediaDurationProvider {
public:
    // Far beyond what reading a duration takes: a tool that is still running then is stuck (on a
    // file that is not what its name says, or a share that went away) and is killed.
    static constexpr std::chrono::seconds defaultTimeLimit{60};

    // At most maxRunning copies of the tool run at once, whatever the number of measurements in
    // flight: it keeps a processor busy, unlike the in-process probe that mostly waits on a share.
    explicit FFprobeDurationProvider(std::optional<std::filesystem::path> executable,
                                     std::chrono::milliseconds timeLimit = defaultTimeLimit,
                                     int maxRunning = QThread::idealThreadCount());

    Expected<double> duration(const MediaFile& file, std::stop_token stop = {}) const override;
    // The tool's path and modification time: installing or updating it is noticed.
    QString identity() const override;

private:
    std::optional<std::filesystem::path> m_executable;
    std::chrono::milliseconds m_timeLimit;
    std::shared_ptr<std::counting_semaphore<>> m_running;
};

// The first executable of the usual install places, or nothing.
std::optional<std::filesystem::path> locateFFprobe();

} // namespace quillmark
