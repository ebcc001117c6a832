#include "app/duration_calculator_view_model.h"

#include "model/path_text.h"
#include "model/plain_text.h"
#include "model/playback_speed.h"
#include "platform/desktop_services.h"
#include "scan/extensions.h"

#include <QCoreApplication>

#include <algorithm>

namespace quillmark {

namespace {

// The sandboxes a desktop application is shipped in on Linux, by the variable each sets; in them
// ffprobe, a host program, cannot be started.
QString sandboxName(const QProcessEnvironment& environment)
{
    if (environment.contains(QStringLiteral("FLATPAK_ID")))
        return QStringLiteral("Flatpak");
    if (environment.contains(QStringLiteral("SNAP_NAME")))
        return QStringLiteral("Snap");
    return {};
}

} // namespace

DurationCalculatorViewModel::DurationCalculatorViewModel(ViewModelServices services,
                                                         QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_preferences(m_services.settings)
    , m_statusMessage(tr("Pronto"))
{
    m_extensionsText = defaultExtensions().join(QLatin1Char(','));
    m_hideEmptyFolders = m_preferences.hideEmptyFolders();
    m_sortByDuration = m_preferences.sortByDuration();
    m_playbackSpeed = m_preferences.playbackSpeed();
    m_reportText = tr("Pronto. Seleziona una cartella e premi Calcola.") + QLatin1Char('\n');

    // The stored path for now; the folder it leads to comes from a worker.
    const StoredFolder stored = m_preferences.lastFolder();
    if (stored.path)
        m_folder.setFolder(*stored.path);
    else
        m_folder.setText(QStringLiteral("."));

    if (const QString sandbox = sandboxName(m_services.environment); !sandbox.isEmpty())
        m_sandboxWarningMessage =
            tr("Quillmark è in esecuzione in una sandbox %1: ffprobe, un programma del sistema, "
               "non può essere avviato. I video vengono misurati solo con le librerie di FFmpeg "
               "incluse nell'app.")
                .arg(sandbox);

    connect(&m_jobs, &Jobs::taskChanged, this, &DurationCalculatorViewModel::refreshActions);
    connect(&m_run, &CalculationRun::runningChanged, this, [this] {
        Q_EMIT isRunningChanged();
        refreshActions();
    });
    connect(&m_run, &CalculationRun::progressDetailChanged, this,
            &DurationCalculatorViewModel::progressDetailChanged);
    connect(&m_folderActions, &FolderActions::recentChanged, this,
            &DurationCalculatorViewModel::recentFoldersChanged);
    refreshActions();

    m_folderActions.restore();
}

DurationCalculatorViewModel::~DurationCalculatorViewModel() = default;

void DurationCalculatorViewModel::finishBackgroundWork(std::chrono::milliseconds limit)
{
    m_jobs.finish(limit);
}

void DurationCalculatorViewModel::refreshActions()
{
    const std::vector<bool> actions{isBusy(),          canStop(),           canSave(),
                                    canCopy(),         canLoadReport(),     canClearOutput(),
                                    canRenameFolder(), canCreatePlaylists()};
    if (actions == m_actions)
        return;
    m_actions = actions;
    Q_EMIT actionsChanged();
}

void DurationCalculatorViewModel::setFolderPath(const QString& path)
{
    if (!m_folder.setText(path))
        return;
    m_selection.clear();
    m_jobs.moveOn();
    Q_EMIT folderPathChanged();
    refreshActions();
}

void DurationCalculatorViewModel::setFolder(const std::filesystem::path& folder)
{
    m_selection.clear();
    if (m_folder.setFolder(folder))
        Q_EMIT folderPathChanged();
    refreshActions();
}

void DurationCalculatorViewModel::useSelection(std::vector<std::filesystem::path> selection)
{
    if (!canChooseFolder() || selection.empty())
        return;
    m_jobs.moveOn(); // the folder a start-up restores is not shown over it
    setFolder(selectionFolder(selection));
    m_selection = std::move(selection);
    refreshActions();
}

void DurationCalculatorViewModel::setHasReportFile(bool hasReport)
{
    m_hasReportFile = hasReport;
    refreshActions();
}

void DurationCalculatorViewModel::setExtensionsText(const QString& text)
{
    update(m_extensionsText, text, &DurationCalculatorViewModel::extensionsTextChanged);
}

QStringList DurationCalculatorViewModel::extensionList() const
{
    return parseExtensions(m_extensionsText);
}

void DurationCalculatorViewModel::setHideEmptyFolders(bool hide)
{
    if (hide == m_hideEmptyFolders)
        return;
    m_preferences.setHideEmptyFolders(hide);
    update(m_hideEmptyFolders, hide, &DurationCalculatorViewModel::hideEmptyFoldersChanged);
}

void DurationCalculatorViewModel::setPlaybackSpeed(int hundredths)
{
    hundredths = knownPlaybackSpeed(hundredths);
    if (hundredths == m_playbackSpeed)
        return;
    m_preferences.setPlaybackSpeed(hundredths);
    update(m_playbackSpeed, hundredths, &DurationCalculatorViewModel::playbackSpeedChanged);
}

QString DurationCalculatorViewModel::withWatchTime(const QString& total, std::int64_t seconds,
                                                   bool approximate) const
{
    return quillmark::withWatchTime(total, seconds, m_playbackSpeed,
                                    approximate || !hasMeasuredSeconds());
}

void DurationCalculatorViewModel::setSortByDuration(bool byDuration)
{
    if (byDuration == m_sortByDuration)
        return;
    m_preferences.setSortByDuration(byDuration);
    update(m_sortByDuration, byDuration, &DurationCalculatorViewModel::sortByDurationChanged);
}

std::vector<int> DurationCalculatorViewModel::folderOrder() const
{
    return treeOrder(m_report.tree, m_sortByDuration);
}

void DurationCalculatorViewModel::setAlert(const std::optional<AlertItem>& alert)
{
    update(m_alert, alert, &DurationCalculatorViewModel::alertChanged);
}

void DurationCalculatorViewModel::setStatus(const QString& message, StatusKind kind)
{
    update(m_statusMessage, message, &DurationCalculatorViewModel::statusMessageChanged);
    update(m_statusKind, kind, &DurationCalculatorViewModel::statusKindChanged);
}

void DurationCalculatorViewModel::setReportText(const QString& text)
{
    update(m_reportText, text, &DurationCalculatorViewModel::reportTextChanged);
}

void DurationCalculatorViewModel::showError(const QString& message)
{
    setAlert(AlertItem{QUuid::createUuid(), tr("Errore"), message, true});
}

void DurationCalculatorViewModel::showInfo(const QString& message)
{
    setAlert(AlertItem{QUuid::createUuid(), tr("Info"), message, false});
}

void DurationCalculatorViewModel::updateProgress(qint64 percent)
{
    const qint64 clamped = std::clamp<qint64>(percent, 0, 100);
    update(m_percent, clamped, &DurationCalculatorViewModel::percentChanged);
    update(m_progress, double(clamped) / 100.0, &DurationCalculatorViewModel::progressChanged);
}

void DurationCalculatorViewModel::chooseFolder()
{
    if (canChooseFolder())
        m_folderActions.choose();
}

void DurationCalculatorViewModel::useFolder(const std::filesystem::path& folder)
{
    if (canChooseFolder())
        m_folderActions.use(folder);
}

std::optional<CheckedFolder> DurationCalculatorViewModel::validatedFolder()
{
    if (!m_folder.knownFolder() && isBlank(m_folder.text())) {
        showError(emptyFolderMessage());
        return std::nullopt;
    }
    const Expected<CheckedFolder> checked =
        checkFolderBriefly(m_folder.folder(), [this](std::function<void()> work) {
            return m_jobs.startDetached(std::move(work));
        });
    if (!checked) {
        showError(checked.failure().message);
        return std::nullopt;
    }
    return *checked;
}

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
    if (!canCalculate())
        return;
    if (const auto folder = validatedFolder())
        m_run.start(*folder, useCache, m_selection);
}

void DurationCalculatorViewModel::stop()
{
    if (m_jobs.task() == Task::writingPlaylists)
        m_playlists.stop();
    else
        m_run.stop();
}

// Playlists need no report: without one each is named after its folder alone.
void DurationCalculatorViewModel::createPlaylists()
{
    if (isBusy())
        return;
    if (const auto folder = validatedFolder())
        m_playlists.start(folder->path);
}

void DurationCalculatorViewModel::saveReport()
{
    m_reportFiles.save();
}

void DurationCalculatorViewModel::exportCsv()
{
    m_reportFiles.exportCsv();
}

void DurationCalculatorViewModel::copyReport()
{
    m_reportFiles.copy();
}

void DurationCalculatorViewModel::loadReport()
{
    m_reportFiles.load();
}

void DurationCalculatorViewModel::renameFolderWithDuration()
{
    m_folderActions.rename();
}

void DurationCalculatorViewModel::openFolder()
{
    m_folderActions.open();
}

QString DurationCalculatorViewModel::noVideosMessage() const
{
    if (m_report.searchedExtensions.isEmpty() || m_report.summary.totalFileCount() > 0)
        return {};
    return tr("Nessun video %1 in «%2»")
        .arg(m_report.searchedExtensions.join(QStringLiteral(", ")),
             lastPathComponent(m_report.renamedTo.value_or(m_report.folderPath)));
}

QString DurationCalculatorViewModel::staleReportMessage() const
{
    const std::filesystem::path reportFolder = m_report.renamedTo.value_or(m_report.folderPath);
    if (m_report.text.isEmpty() || reportFolder.empty() || isBlank(m_folder.text()) ||
        m_folder.folder() == reportFolder)
        return {};
    return tr("Il report riguarda «%1»: premi Calcola per misurare «%2».")
        .arg(lastPathComponent(reportFolder), lastPathComponent(m_folder.folder()));
}

void DurationCalculatorViewModel::showReport(LoadedReport report)
{
    m_report = std::move(report);
    m_reportIsTheFolders = m_report.selection.empty();
    setReportText(m_report.text + QLatin1Char('\n'));
    // Always announced: comparing a hundred thousand rows would cost more than redrawing them.
    Q_EMIT reportSummaryChanged();
    refreshActions();
}

void DurationCalculatorViewModel::clearReport(const QString& output)
{
    m_report = LoadedReport{};
    m_reportIsTheFolders = false;
    setReportText(output);
    Q_EMIT reportSummaryChanged();
    refreshActions();
}

void DurationCalculatorViewModel::detachReport()
{
    m_report.durationLabel.reset();
    m_reportIsTheFolders = false;
    refreshActions();
}

void DurationCalculatorViewModel::reportFolderRenamed(const std::filesystem::path& to)
{
    if (m_report.text.isEmpty())
        return;
    m_report.renamedTo = to;
    Q_EMIT reportPathsChanged();
}

void DurationCalculatorViewModel::clearOutput()
{
    if (!canClearOutput())
        return;
    m_jobs.moveOn();
    clearReport(tr("Output pulito. Pronto per una nuova analisi.") + QLatin1Char('\n'));
    setStatus(tr("Pronto"));
    updateProgress(0);
}

} // namespace quillmark
