#pragma once

#include "measure/duration_cache.h"
#include "model/failure.h"

#include <QString>

#include <cstdint>
#include <filesystem>
#include <optional>

namespace quillmark {

// What measuring one file gave: its whole seconds, or 0 and its failure; and the stamp of the
// file it opened, when it did.
struct Measurement {
    std::int64_t seconds = 0;
    std::optional<Failure> failure;
    std::optional<FileStamp> stamp = std::nullopt;
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
    bool listedRegular = false;     // the folder's listing gave it as a regular file, not a link
    std::optional<FileStamp> stamp; // nothing: not known yet, or not a regular file
    std::optional<CachedDuration> remembered;
    Measurement measurement;
};

} // namespace quillmark
