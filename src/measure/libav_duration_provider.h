#pragma once

#include "measure/media_duration_provider.h"

namespace quillmark {

// The primary provider: the platform's media libraries, in process. Accepts only a playable file
// with a finite, non-negative duration; every other outcome is AppError::unsupportedFormat, so
// that the fallback gets its turn.
class LibavDurationProvider final : public MediaDurationProvider {
public:
    double duration(const std::filesystem::path& file, std::stop_token stop = {}) const override;
};

} // namespace quillmark
