#pragma once

#include "scan/media_duration_provider.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace quillmark {

// Whole seconds for a media file: the primary provider first, the fallback only when the primary
// fails. A small value: copies share the same stateless providers.
class VideoDurationService {
public:
    VideoDurationService(std::shared_ptr<const MediaDurationProvider> primary,
                         std::shared_ptr<const MediaDurationProvider> fallback = nullptr);

    // Truncated toward zero; a negative, infinite or NaN duration is a failed measurement. Throws
    // NotRegularFileError, before any provider is asked, for anything but a regular file;
    // MeasuringLimitReached, without asking the fallback, for a file the primary read too much
    // of; the primary's error when there is no fallback; AppError::durationFailed with both
    // messages when both providers fail.
    std::int64_t duration(const std::filesystem::path& file, std::stop_token stop = {}) const;

    // What a failure depends on besides the file: the providers, and the language of the
    // messages it carries.
    QString failureContext() const;

private:
    std::shared_ptr<const MediaDurationProvider> m_primary;
    std::shared_ptr<const MediaDurationProvider> m_fallback;
};

// The application's service: the in-process media libraries, then ffprobe at the configured
// path or, when none is configured, wherever it is installed.
VideoDurationService
makeVideoDurationService(const std::optional<std::filesystem::path>& ffprobePath);

} // namespace quillmark
