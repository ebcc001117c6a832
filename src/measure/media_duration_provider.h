#pragma once

#include "measure/media_file.h"
#include "model/failure.h"

#include <QString>

#include <filesystem>
#include <stop_token>

namespace quillmark {

// Measures one media file. Implementations hold no mutable state and may be called from several
// threads at once; a stop request lets a long measurement give up early.
class MediaDurationProvider {
public:
    virtual ~MediaDurationProvider() = default;

    // The duration in seconds of the open file, or why it could not be measured and whether
    // that lasts.
    virtual Expected<double> duration(const MediaFile& file, std::stop_token stop = {}) const = 0;

    // What a remembered failure depends on: another tool (or another version of it) may succeed
    // where this one failed.
    virtual QString identity() const { return {}; }
};

} // namespace quillmark
