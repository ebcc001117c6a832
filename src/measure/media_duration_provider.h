#pragma once

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

    // The duration in seconds, or why the file could not be measured and whether that lasts.
    virtual Expected<double> duration(const std::filesystem::path& file,
                                      std::stop_token stop = {}) const = 0;

    // What a remembered failure depends on: another tool (or another version of it) may succeed
    // where this one failed.
    virtual QString identity() const { return {}; }
};

} // namespace quillmark
