#include "app/calculation_engine.h"

#include "model/app_error.h"
#include "model/duration_label.h"
#include "model/path_text.h"
#include "report/report_writer.h"
#include "scan/extensions.h"

#include <algorithm>
#include <mutex>

namespace quillmark {

namespace {

// How long closing waits for measurements that were asked to stop. One stuck in the kernel (a
// dead network mount) cannot be stopped at all and is left behind after this.
constexpr int abandonAfterMilliseconds = 1500;

// Keeps a pool whose threads may still be inside a system call: deleting it would wait for
// them. Kept reachable on purpose; its threads end on their own once the call returns.
void abandon(std::unique_ptr<QThreadPool> pool)
{
    static std::mutex mutex;
    static auto* abandoned = new std::vector<std::unique_ptr<QThreadPool>>;
    const std::lock_guard lock(mutex);
    abandoned->push_back(std::move(pool));
}

} // namespace

// The engine as its worker threads reach it. Work left behind by a destroyed engine finds no
// engine here when it returns, and so calls nobody.
class CalculationEngine::Link {
public:
    explicit Link(CalculationEngine* engine)
        : m_engine(engine)
    {
    }

    template <class Call> void post(Call call)
    {
        const std::lock_guard lock(m_mutex);
        if (m_engine)
            QMetaObject::invokeMethod(
                m_engine, [engine = m_engine, call] { call(*engine); }, Qt::QueuedConnection);
    }

    void cut()
    {
        const std::lock_guard lock(m_mutex);
        m_engine = nullptr;
    }

private:
    std::mutex m_mutex;
    CalculationEngine* m_engine;
};

struct CalculationEngine::Run {
    std::uint64_t id = 0;
    std::stop_source stop;
    std::function<bool()> hideEmptyFolders;
    std::vector<WalkedFolder> folders;
    std::vector<DurationJob> jobs;
    std::vector<Measurement> results;
    std::size_t completed = 0;
    std::size_t nextJob = 0;
    QPromise<ComputedReport> promise;
};

CalculationEngine::CalculationEngine(VideoDurationService service, int processorCount,
                                     QObject* parent)
    : QObject(parent)
    , m_service(std::move(service))
    , m_processorCount(processorCount)
    , m_link(std::make_shared<Link>(this))
    , m_pool(std::make_unique<QThreadPool>())
{
    m_pool->setMaxThreadCount(std::max(processorCount, 1));
}

CalculationEngine::~CalculationEngine()
{
    m_link->cut();
    if (m_run)
        m_run->stop.request_stop();
    m_pool->clear();
    if (!m_pool->waitForDone(abandonAfterMilliseconds))
        abandon(std::move(m_pool));
}

int CalculationEngine::maxConcurrent(std::size_t jobCount, int processorCount)
{
    if (processorCount <= 0)
        return 1;
    return int(
        std::min<std::size_t>(std::max<std::size_t>(jobCount, 1), std::size_t(processorCount)));
}

QFuture<ComputedReport> CalculationEngine::computeReport(const std::filesystem::path& folder,
                                                         const QStringList& extensions,
                                                         std::function<bool()> hideEmptyFolders)
{
    Q_ASSERT(!isRunning());
    m_run = std::make_unique<Run>();
    m_run->id = ++m_runCount;
    m_run->hideEmptyFolders = std::move(hideEmptyFolders);
    m_run->promise.start();
    QFuture<ComputedReport> future = m_run->promise.future();

    // The walk of a large tree takes a while: it runs off this thread like the measurements.
    m_pool->start(
        [link = m_link, id = m_run->id, stop = m_run->stop.get_token(), folder, extensions] {
            try {
                auto walked = std::make_shared<Walk>(walk(folder, extensions, stop));
                link->post([id, walked](CalculationEngine& engine) {
                    if (engine.isCurrent(id))
                        engine.startMeasuring(walked);
                });
            } catch (...) {
                link->post([id, error = std::current_exception()](CalculationEngine& engine) {
                    if (engine.isCurrent(id))
                        engine.fail(error);
                });
            }
        });
    return future;
}

bool CalculationEngine::isCurrent(std::uint64_t runId) const
{
    return m_run && m_run->id == runId;
}

void CalculationEngine::cancel()
{
    if (!m_run)
        return;
    m_run->stop.request_stop();
    m_pool->clear();
    const std::unique_ptr<Run> run = std::move(m_run);
    run->promise.future().cancel();
    run->promise.finish();
    Q_EMIT cancelled();
}

CalculationEngine::Walk CalculationEngine::walk(const std::filesystem::path& folder,
                                                const QStringList& extensions, std::stop_token stop)
{
    Walk result{walkFolder(folder, stop), {}};
    for (std::size_t i = 0; i < result.folders.size(); ++i) {
        for (const std::filesystem::path& file : result.folders[i].files) {
            if (matchesExtension(file, extensions))
                result.jobs.push_back(DurationJob{std::int64_t(i), file});
        }
    }
    return result;
}

void CalculationEngine::startMeasuring(std::shared_ptr<Walk> walked)
{
    m_run->folders = std::move(walked->folders);
    m_run->jobs = std::move(walked->jobs);
    m_run->results.assign(m_run->jobs.size(), Measurement{});
    Q_EMIT measuringStarted(qsizetype(m_run->jobs.size()));
    if (m_run->jobs.empty()) {
        finish();
        return;
    }
    for (int i = maxConcurrent(m_run->jobs.size(), m_processorCount); i > 0; --i)
        startNextJob();
}

void CalculationEngine::startNextJob()
{
    if (m_run->nextJob >= m_run->jobs.size())
        return;
    const std::size_t index = m_run->nextJob++;
    m_pool->start([link = m_link, id = m_run->id, index, file = m_run->jobs[index].url,
                   service = m_service, stop = m_run->stop.get_token()] {
        Measurement measurement;
        try {
            measurement.seconds = service.duration(file, stop);
        } catch (...) {
            measurement.error = describeError(std::current_exception());
        }
        link->post([id, index, measurement](CalculationEngine& engine) {
            if (engine.isCurrent(id))
                engine.collect(index, measurement);
        });
    });
}

void CalculationEngine::collect(std::size_t jobIndex, Measurement measurement)
{
    m_run->results[jobIndex] = std::move(measurement);
    ++m_run->completed;
    const std::size_t total = m_run->jobs.size();
    const int percent = int(double(m_run->completed) * 100.0 / double(total));
    Q_EMIT progressed(percent, pathText(m_run->jobs[jobIndex].url));
    startNextJob();
    if (m_run->completed == total)
        finish();
}

ComputedReport CalculationEngine::assemble() const
{
    QList<FolderReport> reports;
    reports.reserve(qsizetype(m_run->folders.size()));
    for (const WalkedFolder& walked : m_run->folders)
        reports.append(FolderReport{pathText(walked.path), {}, 0});
    std::int64_t grandTotal = 0;
    for (std::size_t index = 0; index < m_run->jobs.size(); ++index) {
        const DurationJob& job = m_run->jobs[index];
        const Measurement& measurement = m_run->results[index];
        FolderReport& report = reports[qsizetype(job.folderIndex)];
        report.totalSeconds = addSeconds(report.totalSeconds, measurement.seconds);
        grandTotal = addSeconds(grandTotal, measurement.seconds);
        report.files.append(FileEntry{lastPathComponent(job.url), pathText(job.url),
                                      measurement.seconds, measurement.error});
    }
    if (m_run->hideEmptyFolders && m_run->hideEmptyFolders())
        reports.removeIf([](const FolderReport& report) { return report.files.isEmpty(); });
    std::vector<std::int64_t> folderSeconds;
    folderSeconds.reserve(std::size_t(reports.size()));
    for (const FolderReport& report : reports)
        folderSeconds.push_back(report.totalSeconds);
    return ComputedReport{reportText(reports, grandTotal), grandTotal,
                          reportSummary(reports, grandTotal), std::move(folderSeconds)};
}

void CalculationEngine::finish()
{
    const ComputedReport report = assemble();
    // Cleared first, so that a listener may start the next run from the signal.
    const std::unique_ptr<Run> run = std::move(m_run);
    run->promise.addResult(report);
    run->promise.finish();
    Q_EMIT finished(report);
}

void CalculationEngine::fail(std::exception_ptr error)
{
    const std::unique_ptr<Run> run = std::move(m_run);
    run->promise.setException(error);
    run->promise.finish();
    Q_EMIT failed(describeError(error));
}

} // namespace quillmark
