#include "app/calculation_engine.h"
#include "app/duration_calculator_view_model.h"
#include "app/folder_check.h"
#include "model/duration_label.h"
#include "model/path_text.h"
#include "model/plain_text.h"
#include "scan/extensions.h"

#include <algorithm>

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
    if (m_isRunning)
        return;
    const auto folder = validatedFolder();
    if (!folder)
        return;
    const QStringList extensions = extensionList();
    m_runFolder = folderIdentity(*folder);
    m_beforeRun = BeforeRun{m_reportText, m_percent};

    update(m_isRunning, true, &DurationCalculatorViewModel::isRunningChanged);
    m_clock.start();
    setStatus(tr("In esecuzione…"));
    updateProgress(0, {});
    appendLog(tr("Avvio calcolo su: %1 con estensioni %2")
                  .arg(pathText(*folder), extensions.join(QStringLiteral(", "))));
    m_cacheProblem.clear();
    m_engine->computeReport(
        *folder, extensions, [this] { return m_hideEmptyFolders; }, useCache);
}

void DurationCalculatorViewModel::stopCalculation()
{
    if (!m_isRunning)
        return;
    m_engine->cancel();
    update(m_reportText, m_beforeRun.reportText, &DurationCalculatorViewModel::reportTextChanged);
    updateProgress(m_beforeRun.percent, {});
    setStatus(tr("Calcolo interrotto"));
    update(m_isRunning, false, &DurationCalculatorViewModel::isRunningChanged);
    m_clock.stop();
    showProgressDetail();
}

std::optional<std::filesystem::path> DurationCalculatorViewModel::validatedFolder()
{
    const auto known = m_folder.knownFolder();
    const FolderCheck check =
        known ? FolderCheck{*known, folderProblem(*known)} : checkTypedFolder(m_folder.text());
    if (check.problem) {
        showAlert(tr("Errore"), *check.problem);
        return std::nullopt;
    }
    return check.folder;
}

void DurationCalculatorViewModel::updateProgress(qint64 percent, const QString& currentFile)
{
    const qint64 clamped = std::clamp<qint64>(percent, 0, 100);
    update(m_percent, clamped, &DurationCalculatorViewModel::percentChanged);
    update(m_progress, double(clamped) / 100.0, &DurationCalculatorViewModel::progressChanged);
    if (currentFile.isEmpty())
        return;
    setStatus(tr("Elaborazione: %1").arg(shortenedFromTheStart(currentFile, statusPathLimit)));
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
                            .folderSeconds = report.folderSeconds,
                            .grandTotalSeconds = report.grandTotalSeconds});
    setStatus(m_cacheProblem.isEmpty() ? tr("Completato")
                                       : tr("Completato; %1").arg(m_cacheProblem));
    updateProgress(100, {});
    update(m_isRunning, false, &DurationCalculatorViewModel::isRunningChanged);
    m_clock.stop();
    showProgressDetail();
}

void DurationCalculatorViewModel::calculationFailed(const QString& description)
{
    showAlert(tr("Errore"), tr("Si è verificato un errore: %1").arg(description));
    appendLog(tr("Errore: %1").arg(description));
    setStatus(tr("Errore durante il calcolo"), true);
    update(m_isRunning, false, &DurationCalculatorViewModel::isRunningChanged);
    m_clock.stop();
    showProgressDetail();
}

} // namespace quillmark
