#pragma once

#include "app/background_work.h"
#include "measure/duration_job.h"
#include "measure/video_duration_service.h"
#include "model/report_model.h"
#include "scan/folder_walk.h"

#include <QObject>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <stop_token>

namespace quillmark {

struct ComputedReport {
    QString text;
    std::int64_t grandTotalSeconds = 0;
    // The rows, as the reader reads them from the text (which gives back every name and message
    // the writer wrote), and each row's total in the seconds that were measured.
    ReportSummary summary;
    std::vector<std::int64_t> folderSeconds;
    // Each folder's path as the file system has it, where the report shows it otherwise (a line
    // break, bytes that are not UTF-8); else empty.
    std::vector<QByteArray> nativeFolderPaths;
    // Each file of the report, in report order.
    std::vector<MeasuredFile> files;
};

// Turns a folder tree into report text: walks it, measures every matching file with at most
// maxConcurrent measurements in flight on worker threads, and assembles the report in walk order.
// Results come back to the engine's thread, where they are stored at their job's index, so the
// report never depends on the order in which measurements finish. One run at a time.
class CalculationEngine : public QObject {
    Q_OBJECT

public:
    // With a cache file, measurements are kept between runs: a file whose stamp is unchanged is
    // not measured again. A cache that cannot be used never fails a run.
    CalculationEngine(VideoDurationService service, int processorCount,
                      std::optional<std::filesystem::path> cacheFile = std::nullopt,
                      QObject* parent = nullptr);
    // Abandons a run: queued measurements never start, running ones are stopped (child processes
    // killed and reaped) and waited for, but never for much more than a second: one stuck in
    // the kernel is left to end on its own, sharing nothing with the destroyed engine.
    ~CalculationEngine() override;

    bool isRunning() const { return m_run != nullptr; }
    // While the walk goes on: the folders listed and the matching files found so far.
    struct WalkCount {
        std::size_t folders = 0;
        std::size_t files = 0;
    };
    std::optional<WalkCount> walking() const;
    // Ends the run at once: nothing more is reported of it but cancelled(); its measurements are
    // stopped (child processes killed) and those not started never start.
    void cancel();
    // Waits a while for work that outlives a run (the cache being written, which may wait for
    // another program) and delivers what it said; for a program about to end.
    void finishBackgroundWork(std::chrono::milliseconds limit = std::chrono::milliseconds(
                                  DurationCache::writeWaitMilliseconds + 1000));

    // hideEmptyFolders is asked once every file is measured: its value then decides the report.
    // Emits measuringStarted(), progressed() as files are done, then finished() or failed(),
    // always after it returns. Without useCache every file is measured afresh; the cache still
    // learns the results.
    void computeReport(const std::filesystem::path& folder, const QStringList& extensions,
                       std::function<bool()> hideEmptyFolders, bool useCache = true);
    // The same for files and folders chosen one by one (scan/selection_walk.h): a folder named
    // that cannot be listed fails the run, a file that cannot be measured is an error row.
    void computeReport(const std::vector<std::filesystem::path>& selection,
                       const QStringList& extensions, std::function<bool()> hideEmptyFolders,
                       bool useCache = true);

    // How many files are measured at once: one per processor, or, on a network or FUSE file
    // system where measuring is mostly waiting, up to remoteInFlight.
    static int maxConcurrent(std::size_t jobCount, int processorCount, bool remote = false);
    static constexpr int remoteInFlight = 16;
    // A fixed number of files in flight instead, whatever the file system.
    void setMaxInFlight(std::optional<int> files) { m_maxInFlight = files; }

Q_SIGNALS:
    // The walk is done and this many files will be measured.
    void measuringStarted(qsizetype fileCount);
    // Files were done: how many of all, the last of them, and how many so far.
    void progressed(int percent, const QString& currentFile, qsizetype done);
    void finished(const quillmark::ComputedReport& report);
    // The run could not be made (the folder could not be listed, no thread could be started).
    void failed(const QString& description);
    void cancelled();
    // The cache could not be read or written; said at most once a run.
    void cacheUnavailable(const QString& reason);

private:
    // What the walk found: the folders, one job per matching file, and what the cache said.
    struct Walk {
        std::vector<WalkedFolder> folders;
        std::vector<DurationJob> jobs;
        std::optional<QString> cacheProblem;
        bool remote = false; // the folder is on a network or FUSE file system
    };
    struct Queue;
    struct Run;

    // Off the engine's thread: the walk, and with a cache file what it remembers of each job.
    static Expected<Walk> walk(const std::vector<std::filesystem::path>& selection,
                               const QStringList& extensions, int listers, std::stop_token stop,
                               WalkProgress& progress);
    void rememberInBackground();
    void reportCacheProblem(const QString& reason);
    // Whether results of that run are still wanted: not once it was cancelled.
    bool isCurrent(std::uint64_t runId) const;
    void startMeasuring(Walk walked);
    // Whether a thread could be started for it.
    bool startWorker();
    // A finished measurement, counted and published; collect() takes what the workers left.
    void record(std::size_t jobIndex, Measurement measurement);
    void tellProgress(std::size_t lastJob);
    void collect();
    // The two ways a run ends besides a cancel: with its report, or with the reason it could not
    // be made.
    void endWithReport();
    void endWithError(const QString& description);
    ComputedReport assemble() const;

    VideoDurationService m_service;
    int m_processorCount;
    std::unique_ptr<Run> m_run;
    std::uint64_t m_runCount = 0;
    std::optional<int> m_maxInFlight;
    std::optional<std::filesystem::path> m_cacheFile;
    // The last run's cache write, which the next run's lookups wait for.
    std::shared_future<void> m_cacheWritten;
    BackgroundWork<CalculationEngine> m_work{this};
};

} // namespace quillmark

Q_DECLARE_METATYPE(quillmark::ComputedReport)
