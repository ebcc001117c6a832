#include "app/duration_calculator_view_model.h"

#include "app/calculation_engine.h"
#include "model/path_text.h"
#include "platform/desktop_services.h"
#include "platform/paths.h"
#include "scan/extensions.h"

namespace quillmark {

namespace {

const QString sandboxVariable = QStringLiteral("APP_SANDBOX_CONTAINER_ID");

// Assigns and tells whether anything changed, so that only real changes are published.
template <class T> bool changed(T& member, const T& value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}

} // namespace

DurationCalculatorViewModel::DurationCalculatorViewModel(ViewModelServices services,
                                                         QObject* parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_preferences(*m_services.settings)
    , m_statusMessage(tr("Pronto"))
{
    m_extensionsText = defaultExtensions().join(QLatin1Char(','));
    m_hideEmptyFolders = m_preferences.hideEmptyFolders();
    m_reportText = tr("Pronto. Seleziona una cartella e premi Calcola.") + QLatin1Char('\n');

    if (const auto folder = m_preferences.restoredFolder())
        setFolder(*folder);
    else
        m_folderPath = QStringLiteral(".");

    m_engine = std::make_unique<CalculationEngine>(
        m_services.makeDurationService(m_preferences.ffprobePath()), m_services.processorCount);
    connect(m_engine.get(), &CalculationEngine::progressed, this,
            [this](int percent, const QString& file) { updateProgress(percent, file); });
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

    refreshCanLoadReport();
    loadExistingReport();
}

DurationCalculatorViewModel::~DurationCalculatorViewModel() = default;

void DurationCalculatorViewModel::setFolderPath(const QString& path)
{
    if (changed(m_folderPath, path))
        Q_EMIT folderPathChanged();
}

void DurationCalculatorViewModel::setFolder(const std::filesystem::path& folder)
{
    m_folder = folder;
    setFolderPath(pathText(folder));
}

bool DurationCalculatorViewModel::showsChosenFolder() const
{
    return m_folder && pathText(*m_folder) == m_folderPath;
}

std::filesystem::path DurationCalculatorViewModel::folderURL() const
{
    if (showsChosenFolder())
        return *m_folder;
    return fileURLPath(expandTilde(m_folderPath));
}

std::filesystem::path DurationCalculatorViewModel::reportFileURL() const
{
    return folderURL() / "durata.txt";
}

void DurationCalculatorViewModel::setExtensionsText(const QString& text)
{
    if (changed(m_extensionsText, text))
        Q_EMIT extensionsTextChanged();
}

void DurationCalculatorViewModel::setHideEmptyFolders(bool hide)
{
    if (!changed(m_hideEmptyFolders, hide))
        return;
    m_preferences.setHideEmptyFolders(hide);
    Q_EMIT hideEmptyFoldersChanged();
}

void DurationCalculatorViewModel::setAlert(const std::optional<AlertItem>& alert)
{
    if (changed(m_alert, alert))
        Q_EMIT alertChanged();
}

void DurationCalculatorViewModel::setStatus(const QString& message, bool isError)
{
    setStatusMessage(message);
    setStatusIsError(isError);
}

void DurationCalculatorViewModel::appendLog(const QString& message)
{
    setReportText(m_reportText + message + QLatin1Char('\n'));
}

void DurationCalculatorViewModel::showAlert(const QString& title, const QString& message)
{
    setAlert(AlertItem{QUuid::createUuid(), title, message});
}

void DurationCalculatorViewModel::refreshCanLoadReport()
{
    std::error_code error;
    setCanLoadReport(std::filesystem::exists(reportFileURL(), error));
}

void DurationCalculatorViewModel::chooseFolder()
{
    const auto chosen = m_services.desktop->chooseFolder(
        FolderChooserRequest{tr("Seleziona cartella"), folderURL()});
    if (!chosen)
        return;
    const std::filesystem::path folder = fileURLPath(*chosen);
    setFolder(folder);
    m_preferences.rememberFolder(folder);
    m_currentDurationLabel.reset();
    setCanRenameFolder(false);
    setCanCreatePlaylists(false);
    refreshCanLoadReport();
    loadExistingReport();
}

void DurationCalculatorViewModel::setReportText(const QString& value)
{
    if (changed(m_reportText, value))
        Q_EMIT reportTextChanged();
}

void DurationCalculatorViewModel::setPercent(qint64 value)
{
    if (changed(m_percent, value))
        Q_EMIT percentChanged();
}

void DurationCalculatorViewModel::setProgress(double value)
{
    if (changed(m_progress, value))
        Q_EMIT progressChanged();
}

void DurationCalculatorViewModel::setIsRunning(bool value)
{
    if (changed(m_isRunning, value))
        Q_EMIT isRunningChanged();
}

void DurationCalculatorViewModel::setCanSave(bool value)
{
    if (changed(m_canSave, value))
        Q_EMIT canSaveChanged();
}

void DurationCalculatorViewModel::setCanCopy(bool value)
{
    if (changed(m_canCopy, value))
        Q_EMIT canCopyChanged();
}

void DurationCalculatorViewModel::setCanLoadReport(bool value)
{
    if (changed(m_canLoadReport, value))
        Q_EMIT canLoadReportChanged();
}

void DurationCalculatorViewModel::setCanRenameFolder(bool value)
{
    if (changed(m_canRenameFolder, value))
        Q_EMIT canRenameFolderChanged();
}

void DurationCalculatorViewModel::setCanCreatePlaylists(bool value)
{
    if (changed(m_canCreatePlaylists, value))
        Q_EMIT canCreatePlaylistsChanged();
}

void DurationCalculatorViewModel::setStatusMessage(const QString& value)
{
    if (changed(m_statusMessage, value))
        Q_EMIT statusMessageChanged();
}

void DurationCalculatorViewModel::setStatusIsError(bool value)
{
    if (changed(m_statusIsError, value))
        Q_EMIT statusIsErrorChanged();
}

void DurationCalculatorViewModel::setReportSummary(const ReportSummary& summary)
{
    m_reportSummary = summary;
    Q_EMIT reportSummaryChanged();
}

} // namespace quillmark
