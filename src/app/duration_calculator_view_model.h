#pragma once

#include "app/app_preferences.h"
#include "app/folder_field.h"
#include "app/run_clock.h"
#include "measure/video_duration_service.h"
#include "model/report_model.h"
#include "platform/folder_identity.h"
#include "platform/paths.h"
#include "report/folder_tree.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QThread>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

namespace quillmark {

class CalculationEngine;
class DesktopServices;
struct ComputedReport;

struct AlertItem {
    QUuid id; // new for every alert, so the same texts twice are still two alerts
    QString title;
    QString message;

    friend bool operator==(const AlertItem&, const AlertItem&) = default;
};

// What the view model needs from the world. Built as ViewModelServices{settings, desktop}, with
// the production values for the rest; tests then replace what they fake.
struct ViewModelServices {
    SettingsStore& settings;
    DesktopServices& desktop;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    int processorCount = QThread::idealThreadCount();
    // Never renamed, whatever a report says of it.
    std::filesystem::path homeFolder = quillmark::homeFolder();
    // Where measurements are kept between runs; nothing: no cache (the app names the usual one).
    std::optional<std::filesystem::path> durationCache = std::nullopt;
    // Builds the duration service with the configured ffprobe (nothing: search for it).
    std::function<VideoDurationService(const std::optional<std::filesystem::path>&)>
        makeDurationService = makeVideoDurationService;
};

// The current report: its text, its rows, the grand-total label a rename uses and the folder it
// describes. Save and copy work on the text; rename needs the label and the folder.
struct LoadedReport {
    QString text;
    ReportSummary summary;
    std::optional<QString> durationLabel;
    std::optional<FolderIdentity> folder;
    // Measured seconds per folder row, when a calculation made the report.
    std::vector<std::int64_t> folderSeconds;
    std::int64_t grandTotalSeconds = 0;
};

// Everything the main window shows and every action it calls. Lives on the GUI thread; only the
// measurements of a calculation leave it.
class DurationCalculatorViewModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString folderPath READ folderPath WRITE setFolderPath NOTIFY folderPathChanged)
    Q_PROPERTY(QString extensionsText READ extensionsText WRITE setExtensionsText NOTIFY
                   extensionsTextChanged)
    Q_PROPERTY(bool hideEmptyFolders READ hideEmptyFolders WRITE setHideEmptyFolders NOTIFY
                   hideEmptyFoldersChanged)
    Q_PROPERTY(QString reportText READ reportText NOTIFY reportTextChanged)
    Q_PROPERTY(
        quillmark::ReportSummary reportSummary READ reportSummary NOTIFY reportSummaryChanged)
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusMessageChanged)
    Q_PROPERTY(bool statusIsError READ statusIsError NOTIFY statusIsErrorChanged)
    Q_PROPERTY(qint64 percent READ percent NOTIFY percentChanged)
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY isRunningChanged)
    Q_PROPERTY(bool canSave READ canSave NOTIFY canSaveChanged)
    Q_PROPERTY(bool canCopy READ canCopy NOTIFY canCopyChanged)
    Q_PROPERTY(bool canLoadReport READ canLoadReport NOTIFY canLoadReportChanged)
    Q_PROPERTY(bool canRenameFolder READ canRenameFolder NOTIFY canRenameFolderChanged)
    Q_PROPERTY(bool canCreatePlaylists READ canCreatePlaylists NOTIFY canCreatePlaylistsChanged)
    Q_PROPERTY(
        std::optional<quillmark::AlertItem> alert READ alert WRITE setAlert NOTIFY alertChanged)
    Q_PROPERTY(QString sandboxWarningMessage READ sandboxWarningMessage NOTIFY
                   sandboxWarningMessageChanged)
    Q_PROPERTY(bool sortByDuration READ sortByDuration WRITE setSortByDuration NOTIFY
                   sortByDurationChanged)
    Q_PROPERTY(QString progressDetail READ progressDetail NOTIFY progressDetailChanged)

public:
    explicit DurationCalculatorViewModel(ViewModelServices services, QObject* parent = nullptr);
    // Closing the window during a run: the run is abandoned, its measurements stopped.
    ~DurationCalculatorViewModel() override;

    const QString& folderPath() const { return m_folder.text(); }
    const QString& extensionsText() const { return m_extensionsText; }
    // What the extensions text gives, as a calculation will use it.
    QStringList extensionList() const;
    bool hideEmptyFolders() const { return m_hideEmptyFolders; }
    const QString& reportText() const { return m_reportText; }
    const ReportSummary& reportSummary() const { return m_report.summary; }
    const QString& statusMessage() const { return m_statusMessage; }
    bool statusIsError() const { return m_statusIsError; }
    qint64 percent() const { return m_percent; }
    double progress() const { return m_progress; }
    bool isRunning() const { return m_isRunning; }
    bool canSave() const { return m_canSave; }
    bool canCopy() const { return m_canCopy; }
    bool canLoadReport() const { return m_canLoadReport; }
    bool canRenameFolder() const { return m_canRenameFolder; }
    bool canCreatePlaylists() const { return m_canCreatePlaylists; }
    const std::optional<AlertItem>& alert() const { return m_alert; }
    // Empty when the process is not sandboxed.
    const QString& sandboxWarningMessage() const { return m_sandboxWarningMessage; }

    // Where each folder row stands in the folder tree, with the total of its subtree; the order
    // to show the rows in (the report's, or the longest subtree first); the grand total.
    const std::vector<FolderTreeRow>& folderTree() const { return m_tree; }
    std::vector<int> folderOrder() const;
    std::int64_t grandTotalSeconds() const { return m_report.grandTotalSeconds; }
    bool sortByDuration() const { return m_sortByDuration; }
    // While running: files done out of all, time gone and, once a few are done, time left.
    const QString& progressDetail() const { return m_progressDetail; }
    // Stored at once, like the hide option.
    void setSortByDuration(bool byDuration);

    // The report text that save, copy, rename and playlists work on; empty: no report.
    const QString& currentReport() const { return m_report.text; }
    const std::optional<QString>& currentDurationLabel() const { return m_report.durationLabel; }

    void setFolderPath(const QString& path);
    void setExtensionsText(const QString& text);
    // Stored at once, every time the user changes it.
    void setHideEmptyFolders(bool hide);
    // The folder-change steps of chooseFolder() for a folder named elsewhere: on the command
    // line, dropped on the window, or picked from the recent ones.
    void useFolder(const std::filesystem::path& folder);
    std::vector<std::filesystem::path> recentFolders() const
    {
        return m_preferences.recentFolders();
    }

    // The window clears the alert when it is dismissed.
    void setAlert(const std::optional<AlertItem>& alert);

public Q_SLOTS:
    void calculate();
    // Ends a run at once and puts back what the window showed before it; nothing is saved.
    void stopCalculation();
    // A calculation that measures every file afresh, and so refreshes the cache.
    void recalculateWithoutCache();
    void chooseFolder();
    void saveReport();
    void copyReport();
    void loadReport();
    void clearOutput();
    void renameFolderWithDuration();
    void createPlaylists();
    void openFolder();

Q_SIGNALS:
    void folderPathChanged();
    void extensionsTextChanged();
    void hideEmptyFoldersChanged();
    void reportTextChanged();
    void reportSummaryChanged();
    void statusMessageChanged();
    void statusIsErrorChanged();
    void percentChanged();
    void progressChanged();
    void isRunningChanged();
    void canSaveChanged();
    void canCopyChanged();
    void canLoadReportChanged();
    void canRenameFolderChanged();
    void canCreatePlaylistsChanged();
    void alertChanged();
    void sandboxWarningMessageChanged();
    void sortByDurationChanged();
    void progressDetailChanged();

private:
    // Shared by every action.
    void setStatus(const QString& message, bool isError = false);
    void appendLog(const QString& message);
    void showAlert(const QString& title, const QString& message);
    void refreshCanLoadReport();
    void updateProgress(qint64 percent, const QString& currentFile);

    // Assigns and, when the value changed, announces it.
    template <class T>
    void update(T& field, const T& value, void (DurationCalculatorViewModel::*changed)())
    {
        if (field == value)
            return;
        field = value;
        Q_EMIT(this->*changed)();
    }

    void setFolder(const std::filesystem::path& folder);
    std::optional<std::filesystem::path> validatedFolder();
    std::filesystem::path reportFile() const;

    void loadExistingReport();
    void tellSettingsProblems();
    // Makes the folder's "durata.txt" the current report; the description of a read failure.
    std::optional<QString> loadReportFile();
    // The only ways the current report changes: shown with the flags it enables, gone, or kept
    // on show for another folder, where it can be saved or copied but not acted on.
    void showReport(LoadedReport report);
    void clearReport(const QString& output);
    void detachReport();
    // Why the folder must not be renamed with the current report's duration, if it must not.
    std::optional<QString> renameRefusal(const std::filesystem::path& folder) const;
    void showProgressDetail();
    void startCalculation(bool useCache);
    void cacheUnavailable(const QString& reason);
    void calculationFinished(const ComputedReport& report);
    void calculationFailed(const QString& description);

    ViewModelServices m_services;
    AppPreferences m_preferences;

    FolderField m_folder;
    QString m_extensionsText;
    bool m_hideEmptyFolders = true;
    bool m_sortByDuration = false;
    QString m_reportText;
    QString m_statusMessage;
    bool m_statusIsError = false;
    qint64 m_percent = 0;
    double m_progress = 0.0;
    bool m_isRunning = false;
    bool m_canSave = false;
    bool m_canCopy = false;
    bool m_canLoadReport = false;
    bool m_canRenameFolder = false;
    bool m_canCreatePlaylists = false;
    std::optional<AlertItem> m_alert;
    QString m_sandboxWarningMessage;
    LoadedReport m_report;
    std::vector<FolderTreeRow> m_tree; // the report's, derived when it is shown
    // The folder the running calculation measures, and what to show again if it is stopped.
    std::optional<FolderIdentity> m_runFolder;
    QString m_progressDetail;
    QString m_cacheProblem; // said once, with the run's outcome
    RunClock m_clock;
    struct BeforeRun {
        QString reportText;
        qint64 percent = 0;
    } m_beforeRun;

    // Last, so that it is destroyed first: a running calculation calls back into the fields.
    std::unique_ptr<CalculationEngine> m_engine;
};

} // namespace quillmark

Q_DECLARE_METATYPE(quillmark::ReportSummary)
