#include "app/calculation_engine.h"
#include "app/duration_calculator_view_model.h"
#include "app/folder_check.h"
#include "model/duration_label.h"
#include "model/path_text.h"
#include "model/plain_text.h"
#include "platform/folder_token.h"
#include "scan/extensions.h"

#include <algorithm>
#include <future>

namespace quillmark {

namespace {

constexpr qsizetype statusPathLimit = 90;

} // namespace

void DurationCalculatorViewModel::calculate()
{
    startCalculation(true);
}

void DurationCalculatorViewModel::recalculateWithoutCache()
{
    startCalculation(false);
}

void DurationCalculatorViewModel::startCalculation(bool useCache)
{
    if (isBusy())
        return;
    const auto folder = validatedFolder();
    if (!folder)
        return;
    const QStringList extensions = extensionList();
    moveOn();
    // A typed folder that is measured is remembered as a chosen one is.
    if (!m_folder.knownFolder()) {
        m_preferences.rememberFolder(folder->path);
        m_preferences.rememberFolderToken(folder->path, folder->token);
    }
    m_runFolder = folder->identity;
    m_runFolderPath = folder->path;
    m_runExtensions = extensions;
    m_beforeRun = BeforeRun{m_reportText, m_percent};

    setRunning(true);
    m_clock.start();
    setStatus(tr("In esecuzione…"), StatusKind::working);
    updateProgress(0, {});
    appendLog(tr("Avvio calcolo su: %1 con estensioni %2")
                  .arg(pathText(folder->path), extensions.join(QStringLiteral(", "))));
    m_cacheProblem.clear();
    m_engine->computeReport(
        folder->path, extensions, [this] { return m_hideEmptyFolders; }, useCache);
}

void DurationCalculatorViewModel::stop()
{
    if (m_task == Task::writingPlaylists) {
        // The playlist being written is finished on the worker, or never replaces the old one; the
        // window is free at once, also when a share keeps that write waiting.
        m_playlistStop.request_stop();
        setTask(Task::none);
        updateProgress(0, {});
        setStatus(tr("Creazione delle playlist interrotta"), StatusKind::note);
        return;
    }
    if (!m_isRunning)
        return;
    m_engine->cancel();
    update(m_reportText, m_beforeRun.reportText, &DurationCalculatorViewModel::reportTextChanged);
    updateProgress(0, {});
    setStatus(m_report.text.isEmpty() ? tr("Calcolo interrotto")
                                      : tr("Calcolo interrotto: è mostrato il report precedente"),
              StatusKind::note);
    setRunning(false);
    m_clock.stop();
    showProgressDetail();
}

std::optional<DurationCalculatorViewModel::CheckedFolder>
DurationCalculatorViewModel::validatedFolder()
{
    if (!m_folder.knownFolder() && isBlank(m_folder.text())) {
        showError(emptyFolderMessage());
        return std::nullopt;
    }
    const std::filesystem::path folder = m_folder.folder();
    struct Examined {
        FolderState state;
        QByteArray token;
    };
    auto answer = std::make_shared<std::promise<Examined>>();
    std::future<Examined> examined = answer->get_future();
    if (!m_work.start([answer, folder] {
            FolderState state = examineFolder(folder);
            answer->set_value(
                Examined{state, state.problem ? QByteArray() : makeFolderToken(folder)});
        }) ||
        examined.wait_for(std::chrono::milliseconds(250)) != std::future_status::ready)
        return CheckedFolder{folder, std::nullopt, {}};
    const Examined found = examined.get();
    if (found.state.problem) {
        showError(*found.state.problem);
        return std::nullopt;
    }
    return CheckedFolder{folder, found.state.identity, found.token};
}

void DurationCalculatorViewModel::setRunning(bool running)
{
    if (running == m_isRunning)
        return;
    m_isRunning = running;
    Q_EMIT isRunningChanged();
    Q_EMIT busyChanged();
}

void DurationCalculatorViewModel::updateProgress(qint64 percent, const QString& currentFile)
{
    const qint64 clamped = std::clamp<qint64>(percent, 0, 100);
    update(m_percent, clamped, &DurationCalculatorViewModel::percentChanged);
    update(m_progress, double(clamped) / 100.0, &DurationCalculatorViewModel::progressChanged);
    if (currentFile.isEmpty())
        return;
    setStatus(tr("Elaborazione: %1").arg(shortenedFromTheStart(currentFile, statusPathLimit)),
              StatusKind::working);
}

void DurationCalculatorViewModel::showProgressDetail()
{
    update(m_progressDetail, m_isRunning ? m_clock.text() : QString(),
           &DurationCalculatorViewModel::progressDetailChanged);
}

// The run goes on without the cache; the user hears of it once, with the outcome.
void DurationCalculatorViewModel::cacheUnavailable(const QString& reason)
{
    m_cacheProblem = reason;
    if (!m_isRunning && m_statusMessage == tr("Completato"))
        setStatus(tr("Completato; %1").arg(reason));
}

void DurationCalculatorViewModel::calculationFinished(const ComputedReport& report)
{
    showReport(LoadedReport{.text = report.text,
                            .summary = report.summary,
                            .durationLabel = formatDuration(report.grandTotalSeconds),
                            .folder = m_runFolder,
                            .folderPath = m_runFolderPath,
                            .searchedExtensions = m_runExtensions,
                            .tree = quillmark::folderTree(report.summary, report.folderSeconds),
                            .grandTotalSeconds = report.grandTotalSeconds,
                            .files = report.files});
    setStatus(m_cacheProblem.isEmpty() ? tr("Completato")
                                       : tr("Completato; %1").arg(m_cacheProblem));
    updateProgress(100, {});
    setRunning(false);
    m_clock.stop();
    showProgressDetail();
}

void DurationCalculatorViewModel::calculationFailed(const QString& description)
{
    showError(tr("Si è verificato un errore: %1").arg(description));
    appendLog(tr("Errore: %1").arg(description));
    setStatus(tr("Errore durante il calcolo"), StatusKind::error);
    setRunning(false);
    m_clock.stop();
    showProgressDetail();
}

} // namespace quillmark
