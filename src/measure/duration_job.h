#pragma once

#include "measure/duration_cache.h"
#include "model/failure.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>

namespace quillmark {

// What measuring one file gave: its whole seconds, or 0 and its failure.
struct Measurement {
    std::int64_t seconds = 0;
    std::optional<Failure> failure;
};

// The cache keeps only lasting failures: a remembered one is the file's own answer.
inline Measurement asMeasurement(const CachedDuration& remembered)
{
    if (!remembered.error)
        return Measurement{remembered.seconds, std::nullopt};
    return Measurement{remembered.seconds, Failure{FailureKind::content, *remembered.error}};
}

// One file of a run: where it belongs in the report, what the cache remembered of it, and what it
// measured (or what the cache remembered).
struct DurationJob {
    std::int64_t folderIndex = 0;
    std::filesystem::path file;
    std::optional<FileStamp> stamp; // nothing: not looked up, or not a regular file
    std::optional<CachedDuration> remembered;
    Measurement measurement;
};

} // namespace quillmark
