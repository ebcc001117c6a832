#include "app/duration_calculator_view_model.h"

#include "app/calculation_engine.h"
#include "platform/desktop_services.h"
#include "scan/extensions.h"

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
    m_reportText = tr("Pronto. Seleziona una cartella e premi Calcola.") + QLatin1Char('\n');

    if (const auto folder = m_preferences.restoredFolder())
        m_folder.setFolder(*folder);
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

    refreshCanLoadReport();
    loadExistingReport();
    tellSettingsProblems();
}

// Said once, at start-up, after what loading the report said.
void DurationCalculatorViewModel::tellSettingsProblems()
{
    QStringList problems;
    for (const auto& problem :
         {m_services.settings.problem(), m_preferences.ffprobePathProblem()}) {
        if (problem)
            problems.append(*problem);
    }
    if (problems.isEmpty())
        return;
    if (m_statusMessage != tr("Pronto"))
        problems.prepend(m_statusMessage);
    setStatus(problems.join(QLatin1Char(' ')));
}

DurationCalculatorViewModel::~DurationCalculatorViewModel() = default;

void DurationCalculatorViewModel::setFolderPath(const QString& path)
{
    if (m_folder.setText(path))
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

void DurationCalculatorViewModel::setSortByDuration(bool byDuration)
{
    if (byDuration == m_sortByDuration)
        return;
    m_preferences.setSortByDuration(byDuration);
    update(m_sortByDuration, byDuration, &DurationCalculatorViewModel::sortByDurationChanged);
}

std::vector<int> DurationCalculatorViewModel::folderOrder() const
{
    if (m_sortByDuration)
        return longestFirst(m_tree);
    std::vector<int> order(m_tree.size());
    for (std::size_t row = 0; row < order.size(); ++row)
        order[row] = int(row);
    return order;
}

void DurationCalculatorViewModel::setAlert(const std::optional<AlertItem>& alert)
{
    update(m_alert, alert, &DurationCalculatorViewModel::alertChanged);
}

void DurationCalculatorViewModel::setStatus(const QString& message, bool isError)
{
    update(m_statusMessage, message, &DurationCalculatorViewModel::statusMessageChanged);
    update(m_statusIsError, isError, &DurationCalculatorViewModel::statusIsErrorChanged);
}

void DurationCalculatorViewModel::appendLog(const QString& message)
{
    update(m_reportText, m_reportText + message + QLatin1Char('\n'),
           &DurationCalculatorViewModel::reportTextChanged);
}

void DurationCalculatorViewModel::showAlert(const QString& title, const QString& message)
{
    setAlert(AlertItem{QUuid::createUuid(), title, message});
}

void DurationCalculatorViewModel::refreshCanLoadReport()
{
    std::error_code error;
    update(m_canLoadReport, std::filesystem::exists(reportFile(), error),
           &DurationCalculatorViewModel::canLoadReportChanged);
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
    m_preferences.rememberFolder(folder);
    detachReport();
    refreshCanLoadReport();
    loadExistingReport();
}

} // namespace quillmark
