#pragma once

#include "model/report_model.h"
#include "scan/folder_walk.h"
#include "scan/video_duration_service.h"

#include <QFuture>
#include <QObject>
#include <QPromise>
#include <QStringList>
#include <QThreadPool>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

namespace quillmark {

struct ComputedReport {
    QString text;
    std::int64_t grandTotalSeconds = 0;
    // The rows, built from the results rather than read back from the text, and each row's
    // total in seconds.
    ReportSummary summary;
    std::vector<std::int64_t> folderSeconds;
};

// Turns a folder tree into report text: walks it, measures every matching file with at most
// maxConcurrent measurements in flight on worker threads, and assembles the report in walk order.
// Results come back to the engine's thread, where they are stored at their job's index, so the
// report never depends on the order in which measurements finish. One run at a time.
class CalculationEngine : public QObject {
    Q_OBJECT

public:
    CalculationEngine(VideoDurationService service, int processorCount, QObject* parent = nullptr);
    // Abandons a run: queued measurements never start, running ones are stopped (child processes
    // killed and reaped) and waited for, but never for much more than a second: one stuck in
    // the kernel is left to end on its own, sharing nothing with the destroyed engine.
    ~CalculationEngine() override;

    bool isRunning() const { return m_run != nullptr; }
    // Ends the run at once: nothing more is reported of it but cancelled(); its measurements are
    // stopped (child processes killed) and those not started never start.
    void cancel();

    // hideEmptyFolders is asked once every file is measured: its value then decides the report.
    // Emits measuringStarted(), progressed() once per finished file, then finished() or failed().
    QFuture<ComputedReport> computeReport(const std::filesystem::path& folder,
                                          const QStringList& extensions,
                                          std::function<bool()> hideEmptyFolders);

    static int maxConcurrent(std::size_t jobCount, int processorCount);

Q_SIGNALS:
    // The walk is done and this many files will be measured.
    void measuringStarted(qsizetype fileCount);
    void progressed(int percent, const QString& currentFile);
    void finished(const quillmark::ComputedReport& report);
    void failed(const QString& description);
    void cancelled();

private:
    struct DurationJob {
        std::int64_t folderIndex = 0;
        std::filesystem::path url;
    };
    struct Measurement {
        std::int64_t seconds = 0;
        std::optional<QString> error;
    };
    struct Walk {
        std::vector<WalkedFolder> folders;
        std::vector<DurationJob> jobs;
    };
    struct Run;
    class Link;

    static Walk walk(const std::filesystem::path& folder, const QStringList& extensions,
                     std::stop_token stop);
    // Whether results of that run are still wanted: not once it was cancelled.
    bool isCurrent(std::uint64_t runId) const;
    void startMeasuring(std::shared_ptr<Walk> walk);
    void startNextJob();
    void collect(std::size_t jobIndex, Measurement measurement);
    void finish();
    void fail(std::exception_ptr error);
    ComputedReport assemble() const;

    VideoDurationService m_service;
    int m_processorCount;
    std::unique_ptr<Run> m_run;
    std::uint64_t m_runCount = 0;
    std::shared_ptr<Link> m_link;
    std::unique_ptr<QThreadPool> m_pool;
};

} // namespace quillmark

Q_DECLARE_METATYPE(quillmark::ComputedReport)
