#pragma once

#include "scan/media_duration_provider.h"

#include <QString>

#include <optional>

namespace quillmark {

// The fallback provider: runs the ffprobe tool for one file and reads the one number it prints.
class FFprobeDurationProvider final : public MediaDurationProvider {
public:
    explicit FFprobeDurationProvider(std::optional<std::filesystem::path> executableURL);

    double duration(const std::filesystem::path& file, std::stop_token stop = {}) const override;

private:
    std::optional<std::filesystem::path> m_executableURL;
};

// The first executable of the usual install places, or nothing.
std::optional<std::filesystem::path> locateFFprobe();

} // namespace quillmark
