#include "measure/remembered_durations.h"

#include "platform/worker_threads.h"

#include <algorithm>
#include <atomic>

namespace quillmark {

namespace {

// For many files one read of the whole cache beats a query each, unless the cache holds far
// more than the run: then a run pays for its own files, however many others the cache holds.
constexpr std::size_t manyFiles = 500;
constexpr std::size_t rowsWorthReadingPerFile = 4;

void stampAll(std::vector<DurationJob>& jobs, int statsAtOnce)
{
    std::atomic<std::size_t> next = 0;
    runOnThreads(std::min<int>(statsAtOnce, int(jobs.size())), [&jobs, &next] {
        for (std::size_t i; (i = next++) < jobs.size();)
            jobs[i].stamp = fileStamp(jobs[i].file);
    });
}

} // namespace

std::optional<QString> lookUpRemembered(const std::filesystem::path& cacheFile,
                                        std::vector<DurationJob>& jobs,
                                        const QString& failureContext, int statsAtOnce)
{
    QString problem;
    const std::unique_ptr<DurationCache> cache = DurationCache::open(cacheFile, problem);
    if (!cache)
        return problem;
    if (jobs.size() >= manyFiles)
        cache->preload(rowsWorthReadingPerFile * jobs.size());
    stampAll(jobs, statsAtOnce);
    for (DurationJob& job : jobs) {
        if (job.stamp)
            job.remembered = cache->find(*job.stamp, job.file, failureContext);
    }
    return problem.isEmpty() ? std::nullopt : std::optional(problem);
}

std::optional<QString> rememberMeasured(const std::filesystem::path& cacheFile,
                                        const std::vector<DurationJob>& jobs,
                                        const QString& failureContext)
{
    std::vector<DurationCache::Entry> entries;
    entries.reserve(jobs.size());
    for (const DurationJob& job : jobs) {
        if (!job.stamp)
            continue;
        const std::optional<Failure>& failure = job.measurement.failure;
        if (job.remembered)
            entries.push_back({*job.stamp, job.file, std::nullopt, job.remembered->seen});
        else if (!failure)
            entries.push_back({*job.stamp, job.file,
                               CachedDuration{job.measurement.seconds, std::nullopt, 0}, 0});
        else if (failure->isLasting())
            entries.push_back({*job.stamp, job.file,
                               CachedDuration{job.measurement.seconds, failure->message, 0}, 0});
        // A failure of the moment (a limit of time, the system's, a stop) is not the file's: the
        // next run measures it again.
    }
    QString problem;
    const auto cache = DurationCache::open(cacheFile, problem);
    if (!cache)
        return problem;
    return cache->store(entries, failureContext);
}

} // namespace quillmark
