#pragma once

#include "measure/duration_job.h"

#include <QString>

#include <filesystem>
#include <optional>
#include <vector>

namespace quillmark {

// The duration cache as a run uses it. Looking up runs with the walk, off the engine's thread:
// a stat and an indexed query per file, or one read of the whole cache when the run is large and
// the cache not much larger. Remembering runs after the run, in one transaction.

// Fills in each job's stamp and what the cache remembers of the file; the reason when the cache
// could not be had. The files are examined `statsAtOnce` at a time: where a stat is a round trip
// (a network share), many take hardly longer than one. A run without the cache looks nothing up:
// the stamps its measurements are remembered by come from the files they open.
std::optional<QString> lookUpRemembered(const std::filesystem::path& cacheFile,
                                        std::vector<DurationJob>& jobs,
                                        const QString& failureContext, int statsAtOnce = 1);

// Writes what the run measured (durations, and only the failures that are the file's own
// answer), and marks what it found as seen again; the reason when it could not.
std::optional<QString> rememberMeasured(const std::filesystem::path& cacheFile,
                                        const std::vector<DurationJob>& jobs,
                                        const QString& failureContext);

} // namespace quillmark
