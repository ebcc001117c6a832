#pragma once

#include "measure/media_duration_provider.h"

namespace quillmark {

// The primary provider: the platform's media libraries, in process. Accepts only a playable file
// with a finite, non-negative duration; a file that is not fails with the unsupported-format
// message, so that the fallback gets its turn.
class LibavDurationProvider final : public MediaDurationProvider {
public:
    Expected<double> duration(const MediaFile& file, std::stop_token stop = {}) const override;
};

} // namespace quillmark
