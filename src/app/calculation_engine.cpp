#include "app/calculation_engine.h"

#include "measure/remembered_durations.h"
#include "model/app_error.h"
#include "model/duration_label.h"
#include "model/path_text.h"
#include "platform/file_system_kind.h"
#include "report/report_format.h"
#include "report/report_reader.h"
#include "report/report_writer.h"
#include "scan/extensions.h"
#include "scan/selection_walk.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace quillmark {

namespace {

// How long closing waits for measurements that were asked to stop. One stuck in the kernel (a
// dead network mount) cannot be stopped at all and is left behind after this.
constexpr std::chrono::milliseconds abandonAfter(1500);

QString noThreadsMessage()
{
    return QCoreApplication::translate("CalculationEngine",
                                       "Impossibile avviare il calcolo: il sistema non concede "
                                       "altri thread.");
}

std::error_code errorCode(int error)
{
    return std::error_code(error, std::generic_category());
}

// A folder below the chosen one that could not be listed is one failed entry of its parent's, so
// the report says its videos are missing instead of passing it off as empty. Only a folder the
// user may not read stays silent, as one without videos.
bool isUnlisted(const WalkedFolder& folder)
{
    const int error = folder.listingError;
    return error != 0 && error != EACCES && error != EPERM;
}

Measurement measure(const VideoDurationService& service, const std::filesystem::path& file,
                    bool listedRegular, std::stop_token stop)
{
    try {
        const VideoDurationService::Measured measured =
            service.measure(file, std::move(stop), listedRegular);
        if (measured.seconds)
            return Measurement{*measured.seconds, std::nullopt, measured.stamp};
        return Measurement{0, measured.seconds.failure(), measured.stamp};
    } catch (...) {
        return Measurement{0, failureOf(std::current_exception())};
    }
}

// The bytes of a path or name that its report line shows otherwise: with a line break as a
// symbol, or with U+FFFD for bytes that are not UTF-8. Empty when shown as it is.
QByteArray nativeIfShownOtherwise(const std::filesystem::path& path)
{
    const QString text = pathText(path);
    if (isUtf8Path(path) && oneLine(text) == text)
        return {};
    return QByteArray::fromStdString(path.native());
}

} // namespace

// The files of a run that are to be measured, shared with its workers: they take the next one
// themselves and leave what they measured here, and the engine's thread collects it in batches.
// A worker never waits on the engine's thread, so no core idles between two files.
struct CalculationEngine::Queue {
    struct File {
        std::size_t job;
        std::filesystem::path path;
        bool listedRegular;
    };
    std::vector<File> files;
    std::atomic<std::size_t> next = 0;
    std::mutex mutex;
    std::vector<std::pair<std::size_t, Measurement>> done;
    bool collectPosted = false;
};

struct CalculationEngine::Run {
    std::uint64_t id = 0;
    std::stop_source stop;
    std::shared_ptr<WalkProgress> walkProgress = std::make_shared<WalkProgress>();
    bool walking = true;
    std::function<bool()> hideEmptyFolders;
    Walk walked;
    std::shared_ptr<Queue> queue;
    std::size_t completed = 0;
    bool cacheProblemSaid = false;
};

CalculationEngine::CalculationEngine(VideoDurationService service, int processorCount,
                                     std::optional<std::filesystem::path> cacheFile,
                                     QObject* parent)
    : QObject(parent)
    , m_service(std::move(service))
    , m_processorCount(processorCount)
    , m_cacheFile(std::move(cacheFile))
{
}

// Threads still stuck in the kernel after the wait hold nothing of the engine's but a poster that
// reaches nobody.
CalculationEngine::~CalculationEngine()
{
    if (m_run)
        m_run->stop.request_stop();
    m_work.waitForDone(abandonAfter);
}

int CalculationEngine::maxConcurrent(std::size_t jobCount, int processorCount, bool remote)
{
    const int limit = remote ? std::max(remoteInFlight, processorCount) : processorCount;
    if (limit <= 0)
        return 1;
    return int(std::min<std::size_t>(std::max<std::size_t>(jobCount, 1), std::size_t(limit)));
}

void CalculationEngine::computeReport(const std::filesystem::path& folder,
                                      const QStringList& extensions,
                                      std::function<bool()> hideEmptyFolders, bool useCache)
{
    computeReport(std::vector{folder}, extensions, std::move(hideEmptyFolders), useCache);
}

void CalculationEngine::computeReport(const std::vector<std::filesystem::path>& selection,
                                      const QStringList& extensions,
                                      std::function<bool()> hideEmptyFolders, bool useCache)
{
    Q_ASSERT(!isRunning());
    m_run = std::make_unique<Run>();
    m_run->id = ++m_runCount;
    m_run->hideEmptyFolders = std::move(hideEmptyFolders);
    m_run->walkProgress->wants = [extensions](const std::string& name) {
        return matchesExtension(name, extensions);
    };

    // The walk of a large tree takes a while: it runs off this thread like the measurements.
    const bool started = m_work.start(
        [post = m_work.poster(), id = m_run->id, stop = m_run->stop.get_token(), selection,
         extensions, cacheFile = m_cacheFile, context = m_service.failureContext(), useCache,
         written = m_cacheWritten, listers = m_maxInFlight.value_or(remoteInFlight),
         progress = m_run->walkProgress] {
            auto walked = std::make_shared<Expected<Walk>>(Failure{});
            try {
                *walked = walk(selection, extensions, listers, stop, *progress);
                if (*walked && cacheFile && useCache) {
                    // A re-run right after a run must see what that run remembered.
                    if (written.valid())
                        written.wait_for(std::chrono::seconds(3));
                    Walk& walk = walked->value();
                    walk.cacheProblem =
                        lookUpRemembered(*cacheFile, walk.jobs, context, walk.remote ? listers : 1);
                }
            } catch (...) {
                *walked = failureOf(std::current_exception());
            }
            post([id, walked](CalculationEngine& engine) {
                if (!engine.isCurrent(id))
                    return;
                if (*walked)
                    engine.startMeasuring(std::move(walked->value()));
                else
                    engine.endWithError(walked->failure().message);
            });
        });
    // Said after this returns, like any other outcome, so that the caller can listen first.
    if (!started)
        m_work.poster()([id = m_run->id](CalculationEngine& engine) {
            if (engine.isCurrent(id))
                engine.endWithError(noThreadsMessage());
        });
}

void CalculationEngine::finishBackgroundWork(std::chrono::milliseconds limit)
{
    m_work.waitForDone(limit);
    QCoreApplication::sendPostedEvents(this);
}

std::optional<CalculationEngine::WalkCount> CalculationEngine::walking() const
{
    if (!m_run || !m_run->walking)
        return std::nullopt;
    return WalkCount{m_run->walkProgress->folders, m_run->walkProgress->wanted};
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
    m_run.reset();
    Q_EMIT cancelled();
}

Expected<CalculationEngine::Walk>
CalculationEngine::walk(const std::vector<std::filesystem::path>& selection,
                        const QStringList& extensions, int listers, std::stop_token stop,
                        WalkProgress& progress)
{
    Walk result;
    SelectionWalk walked = walkSelection(selection, stop, listers, &progress);
    if (!walked.missing.empty())
        return Failure{FailureKind::content,
                       QCoreApplication::translate("CalculationEngine", "Non esiste: %1")
                           .arg(pathText(walked.missing.front()))};
    result.folders = std::move(walked.folders);
    // A folder the user named that cannot be listed fails the run; one below it is reported.
    for (std::size_t i = 0; i < result.folders.size(); ++i) {
        const WalkedFolder& folder = result.folders[i];
        if (folder.parent != i)
            continue;
        if (folder.listingError != 0)
            return Failure{FailureKind::content,
                           QCoreApplication::translate("CalculationEngine",
                                                       "Impossibile leggere la cartella %1: %2")
                               .arg(pathText(folder.name),
                                    platformErrorDescription(errorCode(folder.listingError)))};
        result.remote = result.remote || isOnRemoteFileSystem(folder.name);
    }
    WalkPaths paths(result.folders);
    for (std::size_t i = 0; i < result.folders.size(); ++i) {
        for (const std::string& name : result.folders[i].files) {
            if (!matchesExtension(name, extensions))
                continue;
            DurationJob& job = result.jobs.emplace_back();
            job.folderIndex = std::int64_t(i);
            job.file = paths.file(i, name);
            job.listedRegular = listedAsRegular(result.folders[i], name);
        }
    }
    return result;
}

void CalculationEngine::startMeasuring(Walk walked)
{
    m_run->walking = false;
    m_run->walked = std::move(walked);
    std::vector<DurationJob>& jobs = m_run->walked.jobs;
    m_run->queue = std::make_shared<Queue>();
    for (std::size_t index = 0; index < jobs.size(); ++index) {
        if (!jobs[index].remembered)
            m_run->queue->files.push_back({index, jobs[index].file, jobs[index].listedRegular});
    }
    const std::optional<QString> cacheProblem = m_run->walked.cacheProblem;
    Q_EMIT measuringStarted(qsizetype(jobs.size()));
    if (cacheProblem)
        reportCacheProblem(*cacheProblem);
    // What the cache remembered is done at once, in job order.
    std::optional<std::size_t> lastRemembered;
    for (std::size_t index = 0; index < jobs.size() && m_run; ++index) {
        if (const auto& remembered = m_run->walked.jobs[index].remembered) {
            record(index, asMeasurement(*remembered));
            lastRemembered = index;
        }
    }
    if (m_run && lastRemembered)
        tellProgress(*lastRemembered);
    if (!m_run)
        return; // cancelled by a listener
    if (m_run->completed == m_run->walked.jobs.size()) {
        endWithReport();
        return;
    }
    const std::size_t toMeasure = m_run->queue->files.size();
    const int inFlight = m_maxInFlight
                             ? maxConcurrent(toMeasure, *m_maxInFlight)
                             : maxConcurrent(toMeasure, m_processorCount, m_run->walked.remote);
    int started = 0;
    for (int i = inFlight; i > 0; --i)
        started += startWorker() ? 1 : 0;
    // Fewer workers only take longer; none would never end.
    if (started == 0)
        endWithError(noThreadsMessage());
}

void CalculationEngine::reportCacheProblem(const QString& reason)
{
    if (!m_run || m_run->cacheProblemSaid)
        return;
    m_run->cacheProblemSaid = true;
    Q_EMIT cacheUnavailable(reason);
}

bool CalculationEngine::startWorker()
{
    return m_work.start([post = m_work.poster(), id = m_run->id, queue = m_run->queue,
                         service = m_service, stop = m_run->stop.get_token()] {
        for (std::size_t next;
             !stop.stop_requested() && (next = queue->next++) < queue->files.size();) {
            const Queue::File& file = queue->files[next];
            const std::size_t index = file.job;
            Measurement measurement = measure(service, file.path, file.listedRegular, stop);
            bool collectNow = false;
            {
                const std::lock_guard lock(queue->mutex);
                queue->done.emplace_back(index, std::move(measurement));
                collectNow = !std::exchange(queue->collectPosted, true);
            }
            if (collectNow)
                post([id](CalculationEngine& engine) {
                    if (engine.isCurrent(id))
                        engine.collect();
                });
        }
    });
}

void CalculationEngine::record(std::size_t jobIndex, Measurement measurement)
{
    DurationJob& job = m_run->walked.jobs[jobIndex];
    // What the file was when it was opened is what its answer is remembered by.
    if (measurement.stamp)
        job.stamp = measurement.stamp;
    job.measurement = std::move(measurement);
    ++m_run->completed;
}

// Once per batch of results, not per file: on a fast disk, or from the cache, thousands come in
// one batch, and hearing of each would hold the window.
void CalculationEngine::tellProgress(std::size_t lastJob)
{
    const std::vector<DurationJob>& jobs = m_run->walked.jobs;
    const int percent = int(double(m_run->completed) * 100.0 / double(jobs.size()));
    Q_EMIT progressed(percent, pathText(jobs[lastJob].file), qsizetype(m_run->completed));
}

void CalculationEngine::collect()
{
    std::vector<std::pair<std::size_t, Measurement>> batch;
    {
        const std::lock_guard lock(m_run->queue->mutex);
        batch.swap(m_run->queue->done);
        m_run->queue->collectPosted = false;
    }
    for (auto& [index, measurement] : batch)
        record(index, std::move(measurement));
    if (!batch.empty())
        tellProgress(batch.back().first);
    if (!m_run)
        return; // cancelled by a listener
    if (m_run->completed == m_run->walked.jobs.size())
        endWithReport();
}

// Only the folders the report lists get a path: a deep tree of empty folders costs no more than
// its names.
ComputedReport CalculationEngine::assemble() const
{
    const Walk& run = m_run->walked;
    const bool hide = m_run->hideEmptyFolders && m_run->hideEmptyFolders();
    std::unordered_map<std::size_t, std::vector<std::size_t>> unlistedBelow;
    for (std::size_t index = 0; index < run.folders.size(); ++index) {
        if (run.folders[index].parent != index && isUnlisted(run.folders[index]))
            unlistedBelow[run.folders[index].parent].push_back(index);
    }
    WalkPaths paths(run.folders);
    QList<FolderReport> reports;
    std::vector<QByteArray> nativeFolderPaths;
    std::vector<QByteArray> nativeFileNames;
    std::int64_t grandTotal = 0;
    auto job = run.jobs.begin();
    for (std::size_t index = 0; index < run.folders.size(); ++index) {
        const auto firstJob = job;
        while (job != run.jobs.end() && std::size_t(job->folderIndex) == index)
            ++job;
        const auto unlisted = unlistedBelow.find(index);
        if (hide && firstJob == job && unlisted == unlistedBelow.end())
            continue;
        const std::filesystem::path folder = paths.folder(index);
        nativeFolderPaths.push_back(nativeIfShownOtherwise(folder));
        FolderReport report{pathText(folder), {}, 0};
        for (auto file = firstJob; file != job; ++file) {
            const Measurement& measurement = file->measurement;
            report.totalSeconds = addSeconds(report.totalSeconds, measurement.seconds);
            nativeFileNames.push_back(nativeIfShownOtherwise(file->file.filename()));
            report.files.append(FileEntry{
                lastPathComponent(file->file), pathText(file->file), measurement.seconds,
                measurement.failure ? std::optional(measurement.failure->message) : std::nullopt,
                isUtf8Path(file->file)});
        }
        grandTotal = addSeconds(grandTotal, report.totalSeconds);
        if (unlisted != unlistedBelow.end()) {
            for (const std::size_t below : unlisted->second) {
                const std::filesystem::path path = paths.file(index, run.folders[below].name);
                nativeFileNames.push_back(nativeIfShownOtherwise(path.filename()));
                report.files.append(FileEntry{
                    lastPathComponent(path), pathText(path), 0,
                    QCoreApplication::translate("CalculationEngine", "cartella non leggibile (%1)")
                        .arg(platformErrorDescription(errorCode(run.folders[below].listingError))),
                    isUtf8Path(path)});
            }
        }
        reports.append(std::move(report));
    }
    std::vector<std::int64_t> folderSeconds;
    folderSeconds.reserve(std::size_t(reports.size()));
    std::vector<MeasuredFile> files;
    files.reserve(run.jobs.size());
    for (const FolderReport& report : reports) {
        folderSeconds.push_back(report.totalSeconds);
        for (const FileEntry& file : report.files)
            files.push_back(MeasuredFile{file.seconds, file.validUtf8,
                                         std::move(nativeFileNames[files.size()])});
    }
    QString text = reportText(reports, grandTotal);
    ReportSummary summary = parseReport(text);
    return ComputedReport{std::move(text),
                          grandTotal,
                          std::move(summary),
                          std::move(folderSeconds),
                          std::move(nativeFolderPaths),
                          std::move(files)};
}

// Off this thread, in one transaction, once the report is out; a problem comes back as the run's
// one cache message.
void CalculationEngine::rememberInBackground()
{
    if (!m_cacheFile)
        return;
    auto written = std::make_shared<std::promise<void>>();
    m_cacheWritten = written->get_future().share();
    const bool started = m_work.start(
        [post = m_work.poster(), cacheFile = *m_cacheFile, jobs = std::move(m_run->walked.jobs),
         context = m_service.failureContext(), said = m_run->cacheProblemSaid, written] {
            const std::optional<QString> problem = rememberMeasured(cacheFile, jobs, context);
            written->set_value();
            if (problem && !said)
                post([problem](CalculationEngine& engine) {
                    Q_EMIT engine.cacheUnavailable(*problem);
                });
        });
    if (!started)
        written->set_value(); // nothing to wait for: the next run measures again
}

void CalculationEngine::endWithReport()
{
    const ComputedReport report = assemble();
    rememberInBackground();
    // Cleared first, so that a listener may start the next run from the signal.
    m_run.reset();
    Q_EMIT finished(report);
}

void CalculationEngine::endWithError(const QString& description)
{
    m_run.reset();
    Q_EMIT failed(description);
}

} // namespace quillmark
