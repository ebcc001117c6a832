#include "app/calculation_run.h"

#include "app/calculation_engine.h"
#include "app/duration_calculator_view_model.h"
#include "model/duration_label.h"
#include "model/path_text.h"
#include "model/plain_text.h"

namespace quillmark {

namespace {

constexpr qsizetype statusPathLimit = 90;

} // namespace

CalculationRun::CalculationRun(ActionHost& host, QObject* parent)
    : QObject(parent)
    , m_host(host)
    , m_clock([this] { showProgressDetail(); })
{
    const ViewModelServices& services = m_host.services();
    m_engine = std::make_unique<CalculationEngine>(
        services.makeDurationService(m_host.preferences().ffprobePath()), services.processorCount,
        services.durationCache);
    connect(m_engine.get(), &CalculationEngine::cacheUnavailable, this,
            &CalculationRun::cacheUnavailable);
    connect(m_engine.get(), &CalculationEngine::measuringStarted, this, [this](qsizetype files) {
        m_clock.setTotal(files);
        showProgressDetail();
    });
    connect(m_engine.get(), &CalculationEngine::progressed, this,
            [this](int percent, const QString& file, qsizetype done) {
                m_clock.setDone(done);
                showProgressDetail();
                m_host.updateProgress(percent);
                m_host.setStatus(
                    tr("Elaborazione: %1").arg(shortenedFromTheStart(file, statusPathLimit)),
                    StatusKind::working);
            });
    connect(m_engine.get(), &CalculationEngine::finished, this, &CalculationRun::finished);
    connect(m_engine.get(), &CalculationEngine::failed, this, &CalculationRun::failed);
}

CalculationRun::~CalculationRun() = default;

void CalculationRun::start(const CheckedFolder& folder, bool useCache,
                           const std::vector<std::filesystem::path>& selection)
{
    const QStringList extensions = m_host.extensionList();
    m_host.jobs().moveOn();
    // A typed folder that is measured is remembered as a chosen one is; the folder that holds a
    // selection was chosen by no one.
    if (!m_host.folderField().knownFolder() && selection.empty()) {
        m_host.preferences().rememberFolder(folder.path);
        m_host.preferences().rememberFolderToken(folder.path, folder.token);
    }
    m_folder = folder.identity;
    m_folderPath = folder.path;
    m_selection = selection;
    m_extensions = extensions;
    m_textBefore = m_host.reportText();
    m_cacheProblem.clear();

    setRunning(true);
    m_clock.start();
    m_host.setStatus(tr("In esecuzione…"), StatusKind::working);
    m_host.updateProgress(0);
    const QString what =
        selection.empty()
            ? pathText(folder.path)
            : tr("%n elementi scelti in %1", "", int(selection.size())).arg(pathText(folder.path));
    m_host.setReportText(m_host.reportText() +
                         tr("Avvio calcolo su: %1 con estensioni %2")
                             .arg(what, extensions.join(QStringLiteral(", "))) +
                         QLatin1Char('\n'));
    m_engine->computeReport(
        selection.empty() ? std::vector{folder.path} : selection, extensions,
        [this] { return m_host.hideEmptyFolders(); }, useCache);
}

void CalculationRun::stop()
{
    if (!m_running)
        return;
    m_engine->cancel();
    m_host.setReportText(m_textBefore);
    m_host.updateProgress(0);
    m_host.setStatus(m_host.report().text.isEmpty()
                         ? tr("Calcolo interrotto")
                         : tr("Calcolo interrotto: è mostrato il report precedente"),
                     StatusKind::note);
    setRunning(false);
}

void CalculationRun::setRunning(bool running)
{
    if (running == m_running)
        return;
    m_running = running;
    if (!running)
        m_clock.stop();
    Q_EMIT runningChanged();
    showProgressDetail();
}

void CalculationRun::showProgressDetail()
{
    if (const auto walking = m_engine->walking())
        m_clock.setFound(std::int64_t(walking->folders), std::int64_t(walking->files));
    const QString detail = m_running ? m_clock.text() : QString();
    if (detail == m_progressDetail)
        return;
    m_progressDetail = detail;
    Q_EMIT progressDetailChanged();
}

// The run goes on without the cache; the user hears of it once, with the outcome.
void CalculationRun::cacheUnavailable(const QString& reason)
{
    m_cacheProblem = reason;
    if (!m_running && m_host.statusMessage() == m_doneMessage)
        m_host.setStatus(tr("%1; %2").arg(m_doneMessage, reason));
}

void CalculationRun::finished(const ComputedReport& report)
{
    m_host.showReport(
        LoadedReport{.text = report.text,
                     .summary = report.summary,
                     .durationLabel = m_selection.empty()
                                          ? std::optional(formatDuration(report.grandTotalSeconds))
                                          : std::nullopt,
                     .folder = m_folder,
                     .folderPath = m_folderPath,
                     .searchedExtensions = m_extensions,
                     .tree = folderTree(report.summary, report.folderSeconds),
                     .grandTotalSeconds = report.grandTotalSeconds,
                     .files = report.files,
                     .nativeFolderPaths = report.nativeFolderPaths,
                     .selection = m_selection});
    // A selection is said, since the folder field shows only the folder that holds it.
    m_doneMessage = m_selection.empty()
                        ? tr("Completato")
                        : tr("Completato: %n elementi scelti in «%1»", "", int(m_selection.size()))
                              .arg(lastPathComponent(m_folderPath));
    m_host.setStatus(m_cacheProblem.isEmpty() ? m_doneMessage
                                              : tr("%1; %2").arg(m_doneMessage, m_cacheProblem));
    m_host.updateProgress(100);
    setRunning(false);
}

void CalculationRun::failed(const QString& description)
{
    m_host.showError(tr("Si è verificato un errore: %1").arg(description));
    m_host.setReportText(m_host.reportText() + tr("Errore: %1").arg(description) +
                         QLatin1Char('\n'));
    m_host.setStatus(tr("Errore durante il calcolo"), StatusKind::error);
    setRunning(false);
}

} // namespace quillmark
