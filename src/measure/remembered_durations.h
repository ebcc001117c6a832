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

// Fills in each job's stamp and, with useCache, what the cache remembers of the file; the reason
// when the cache could not be had. Without useCache the stamps still let the run's measurements
// be remembered.
std::optional<QString> lookUpRemembered(const std::filesystem::path& cacheFile,
                                        std::vector<DurationJob>& jobs,
                                        const QString& failureContext, bool useCache);

// Writes what the run measured (durations, and only the failures that are the file's own
// answer), and marks what it found as seen again; the reason when it could not.
std::optional<QString> rememberMeasured(const std::filesystem::path& cacheFile,
                                        const std::vector<DurationJob>& jobs,
                                        const QString& failureContext);

} // namespace quillmark
