#include "app/duration_calculator_view_model.h"

#include "app/calculation_engine.h"
#include "model/path_text.h"
#include "model/playback_speed.h"
#include "platform/desktop_services.h"
#include "scan/extensions.h"

#include <QCoreApplication>

#include <algorithm>

namespace quillmark {

namespace {

const QString sandboxVariable = QStringLiteral("APP_SANDBOX_CONTAINER_ID");

} // namespace

DurationCalculatorViewModel::DurationCalculatorViewModel(ViewModelServices services,
                                                         QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_preferences(m_services.settings)
    , m_statusMessage(tr("Pronto"))
    , m_clock([this] { showProgressDetail(); })
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

    m_engine = std::make_unique<CalculationEngine>(
        m_services.makeDurationService(m_preferences.ffprobePath()), m_services.processorCount,
        m_services.durationCache);
    connect(m_engine.get(), &CalculationEngine::cacheUnavailable, this,
            &DurationCalculatorViewModel::cacheUnavailable);
    connect(m_engine.get(), &CalculationEngine::measuringStarted, this, [this](qsizetype files) {
        m_clock.setTotal(files);
        showProgressDetail();
    });
    connect(m_engine.get(), &CalculationEngine::progressed, this,
            [this](int percent, const QString& file) {
                m_clock.fileDone();
                showProgressDetail();
                updateProgress(percent, file);
            });
    connect(m_engine.get(), &CalculationEngine::finished, this,
            &DurationCalculatorViewModel::calculationFinished);
    connect(m_engine.get(), &CalculationEngine::failed, this,
            &DurationCalculatorViewModel::calculationFailed);

    // Set even when empty: the variable's presence is what tells.
    if (!m_services.environment.isEmpty() && m_services.environment.contains(sandboxVariable)) {
        m_sandboxWarningMessage =
            tr("L'app è in esecuzione in modalità sandbox: il fallback ffprobe non può lanciare "
               "processi esterni. Verranno calcolati solo i formati supportati da AVFoundation.");
    }

    if (const QString problems = settingsProblems(); !problems.isEmpty())
        setStatus(problems, StatusKind::note);
    lookInBackground(
        [stored, shown = m_folder.folder()] { return restoreFolder(stored).value_or(shown); },
        false);
}

// Said at start-up, and again after what loading the restored report said.
QString DurationCalculatorViewModel::settingsProblems() const
{
    QStringList problems;
    for (const auto& problem :
         {m_services.settings.problem(), m_preferences.ffprobePathProblem()}) {
        if (problem)
            problems.append(*problem);
    }
    return problems.join(QLatin1Char(' '));
}

DurationCalculatorViewModel::~DurationCalculatorViewModel()
{
    m_playlistStop.request_stop();
}

void DurationCalculatorViewModel::finishBackgroundWork(std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        const std::uint64_t started = m_work.startedCount();
        const bool done = m_work.waitForDone(std::max(left, std::chrono::milliseconds(0)));
        QCoreApplication::sendPostedEvents(this);
        // Done once what was delivered started nothing more.
        if ((done && m_work.startedCount() == started) || std::chrono::steady_clock::now() >= end)
            return;
    }
}

void DurationCalculatorViewModel::setFolderPath(const QString& path)
{
    if (!m_folder.setText(path))
        return;
    moveOn();
    Q_EMIT folderPathChanged();
}

void DurationCalculatorViewModel::setFolder(const std::filesystem::path& folder)
{
    if (m_folder.setFolder(folder))
        Q_EMIT folderPathChanged();
}

std::filesystem::path DurationCalculatorViewModel::reportFile() const
{
    return m_folder.folder() / "durata.txt";
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

void DurationCalculatorViewModel::appendLog(const QString& message)
{
    update(m_reportText, m_reportText + message + QLatin1Char('\n'),
           &DurationCalculatorViewModel::reportTextChanged);
}

void DurationCalculatorViewModel::showError(const QString& message)
{
    setAlert(AlertItem{QUuid::createUuid(), tr("Errore"), message, true});
}

void DurationCalculatorViewModel::showInfo(const QString& message)
{
    setAlert(AlertItem{QUuid::createUuid(), tr("Info"), message, false});
}

void DurationCalculatorViewModel::setTask(Task task)
{
    const bool wasBusy = isBusy();
    const bool couldStop = canStop();
    m_task = task;
    if (isBusy() != wasBusy || canStop() != couldStop)
        Q_EMIT busyChanged();
}

bool DurationCalculatorViewModel::startWork(std::function<void()> work)
{
    if (m_work.start(std::move(work)))
        return true;
    showError(tr("Il sistema non concede altri thread: riprova tra poco."));
    return false;
}

void DurationCalculatorViewModel::chooseFolder()
{
    const auto chosen = m_services.desktop.chooseFolder(
        FolderChooserRequest{tr("Seleziona cartella"), m_folder.folder()});
    if (chosen)
        useFolder(*chosen);
}

void DurationCalculatorViewModel::useFolder(const std::filesystem::path& chosen)
{
    const std::filesystem::path folder = normalizedPath(chosen);
    setFolder(folder);
    moveOn();
    m_preferences.rememberFolder(folder);
    detachReport();
    update(m_canLoadReport, false, &DurationCalculatorViewModel::canLoadReportChanged);
    lookInBackground([folder] { return folder; }, true);
}

void DurationCalculatorViewModel::lookInBackground(
    std::function<std::filesystem::path()> folderToLook, bool remember)
{
    startWork([post = m_work.poster(), generation = m_generation, folderToLook, remember, this] {
        const std::filesystem::path named = folderToLook();
        FolderLook look = quillmark::lookAtFolder(named, [&] {
            post([this, generation] {
                if (generation == m_generation)
                    setStatus(tr("Caricamento del report…"), StatusKind::working);
            });
        });
        post([this, generation, named, look = std::move(look), remember]() mutable {
            if (generation == m_generation)
                showFolderLook(named, std::move(look), remember);
        });
    });
}

void DurationCalculatorViewModel::showFolderLook(const std::filesystem::path& named,
                                                 FolderLook look, bool remember)
{
    if (look.folder != m_folder.folder())
        setFolder(look.folder);
    if (remember && look.folder != named)
        m_preferences.rememberFolder(look.folder, named);
    if (remember)
        m_preferences.rememberFolderToken(look.folder, look.token);
    update(m_canLoadReport, look.hasReport, &DurationCalculatorViewModel::canLoadReportChanged);
    QStringList status;
    StatusKind kind = StatusKind::done;
    if (look.report) {
        showReport(std::move(*look.report));
        status.append(tr("Caricato: %1").arg(pathText(look.folder / "durata.txt")));
    } else if (look.reportProblem) {
        // Nothing was asked of the user yet: the status line mentions a failure, no alert.
        status.append(tr("Impossibile leggere durata.txt: %1").arg(*look.reportProblem));
        kind = StatusKind::error;
    } else if (remember && !look.exists) {
        // Named on the command line, picked from the recent ones or dropped, and not there.
        status.append(tr("La cartella %1 non esiste.").arg(pathText(look.folder)));
        kind = StatusKind::error;
    }
    if (std::exchange(m_startingUp, false)) {
        if (const QString problems = settingsProblems(); !problems.isEmpty()) {
            status.append(problems);
            kind = std::max(kind, StatusKind::note);
        }
    }
    if (!status.isEmpty())
        setStatus(status.join(QLatin1Char(' ')), kind);
}

} // namespace quillmark
