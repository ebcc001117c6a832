#pragma once

#include "app/app_preferences.h"
#include "app/background_work.h"
#include "app/folder_field.h"
#include "app/loaded_report.h"
#include "app/run_clock.h"
#include "measure/video_duration_service.h"
#include "platform/file_manager.h"
#include "platform/paths.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QThread>
#include <QUuid>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <stop_token>

namespace quillmark {

class CalculationEngine;
class DesktopServices;
struct ComputedReport;
struct PlaylistsWritten;

struct AlertItem {
    QUuid id; // new for every alert, so the same texts twice are still two alerts
    QString title;
    QString message;
    bool isError = true; // else it informs

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
    // Called off the GUI thread.
    std::function<bool(const std::filesystem::path&)> showInFileManager =
        quillmark::showInFileManager;
};

// What the status line says: that something is done, a note (something was stopped or left as
// it was), an error, or work in progress.
enum class StatusKind { done, note, error, working };

// A folder of the recent ones, and whether it answered when last looked at.
struct RecentFolder {
    std::filesystem::path folder;
    bool reachable = true;
};

// Everything the main window shows and every action it calls. Lives on the GUI thread, which
// never waits on the disk: the work of every action that reads or writes files runs on a worker
// and reports back (see docs/ARCHITECTURE.md, "Threads").
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
    Q_PROPERTY(quillmark::StatusKind statusKind READ statusKind NOTIFY statusKindChanged)
    Q_PROPERTY(qint64 percent READ percent NOTIFY percentChanged)
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY isRunningChanged)
    Q_PROPERTY(bool isBusy READ isBusy NOTIFY busyChanged)
    Q_PROPERTY(bool canStop READ canStop NOTIFY busyChanged)
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
    // Shows at once; the restored folder and its report follow from a worker.
    explicit DurationCalculatorViewModel(ViewModelServices services, QObject* parent = nullptr);
    // Closing the window during a run: the run is abandoned, its measurements stopped. Work
    // stuck on a file system that does not answer is left to end on its own.
    ~DurationCalculatorViewModel() override;

    const QString& folderPath() const { return m_folder.text(); }
    const QString& extensionsText() const { return m_extensionsText; }
    // What the extensions text gives, as a calculation will use it.
    QStringList extensionList() const;
    bool hideEmptyFolders() const { return m_hideEmptyFolders; }
    const QString& reportText() const { return m_reportText; }
    const ReportSummary& reportSummary() const { return m_report.summary; }
    const QString& statusMessage() const { return m_statusMessage; }
    StatusKind statusKind() const { return m_statusKind; }
    qint64 percent() const { return m_percent; }
    double progress() const { return m_progress; }
    // A calculation runs.
    bool isRunning() const { return m_isRunning; }
    // A calculation or another action's work runs: the actions that would compete with it wait.
    bool isBusy() const { return m_isRunning || m_task != Task::none; }
    // What runs can be stopped: a calculation or the writing of playlists.
    bool canStop() const { return m_isRunning || m_task == Task::writingPlaylists; }
    bool canSave() const { return m_canSave; }
    bool canCopy() const { return m_canCopy; }
    bool canLoadReport() const { return m_canLoadReport; }
    bool canRenameFolder() const { return m_canRenameFolder; }
    bool canCreatePlaylists() const { return m_canCreatePlaylists; }
    const std::optional<AlertItem>& alert() const { return m_alert; }
    // Empty when the process is not sandboxed.
    const QString& sandboxWarningMessage() const { return m_sandboxWarningMessage; }

    // The folder tree of the report (its rows, then the groups above them), with subtree totals;
    // the order to show it in (the report's, or the longest subtree first); the grand total.
    const std::vector<FolderTreeRow>& folderTree() const { return m_report.tree; }
    std::vector<int> folderOrder() const;
    std::int64_t grandTotalSeconds() const { return m_report.grandTotalSeconds; }
    bool sortByDuration() const { return m_sortByDuration; }
    // The speed the totals are also shown at, in hundredths; stored at once. The report text and
    // durata.txt never change with it.
    int playbackSpeed() const { return m_playbackSpeed; }
    void setPlaybackSpeed(int hundredths);
    // What the calculation measured of each file, in report order; empty for a report read back
    // from text, whose figures at a speed are then approximate.
    const std::vector<MeasuredFile>& measuredFiles() const { return m_report.files; }
    bool hasMeasuredSeconds() const { return !m_report.files.empty(); }
    // The total as shown, then how long watching its seconds takes at the chosen speed:
    // "4h25m · 2h57m a 1,5×"; the total alone at 1×.
    QString withWatchTime(const QString& total, std::int64_t seconds,
                          bool approximate = false) const;
    // While running: files done out of all, time gone and, once a few are done, time left.
    const QString& progressDetail() const { return m_progressDetail; }
    // Stored at once, like the hide option.
    void setSortByDuration(bool byDuration);

    // When a calculation found no video: what it looked for and where ("Nessun video .mp4, .mkv
    // in «Film»"); else empty.
    QString noVideosMessage() const;
    // When the folder field names another folder than the report's: which is which; else empty.
    QString staleReportMessage() const;

    // The report text that save, copy, rename and playlists work on; empty: no report.
    const QString& currentReport() const { return m_report.text; }
    const std::optional<QString>& currentDurationLabel() const { return m_report.durationLabel; }

    void setFolderPath(const QString& path);
    void setExtensionsText(const QString& text);
    // Stored at once, every time the user changes it.
    void setHideEmptyFolders(bool hide);
    // The folder-change steps of chooseFolder() for a folder named elsewhere: on the command
    // line, dropped on the window, or picked from the recent ones. A file names its folder.
    void useFolder(const std::filesystem::path& folder);
    // As remembered, with what the last check found; checkRecentFolders() looks again.
    std::vector<RecentFolder> recentFolders() const;
    void checkRecentFolders();

    // Waits a while for work on workers and shows what it did: for a window about to close, so
    // that a report being saved is saved. Work stuck on a file system that does not answer is
    // left behind after the time limit.
    void finishBackgroundWork(std::chrono::milliseconds limit);

    // The window clears the alert when it is dismissed.
    void setAlert(const std::optional<AlertItem>& alert);

public Q_SLOTS:
    void calculate();
    // Ends a run at once and puts back what the window showed before it; nothing is saved. While
    // playlists are written, no new one is begun.
    void stop();
    // A calculation that measures every file afresh, and so refreshes the cache.
    void recalculateWithoutCache();
    void chooseFolder();
    void saveReport();
    // "Esporta CSV…": the results as a spreadsheet (see report/csv_export.h).
    void exportCsv();
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
    void statusKindChanged();
    void percentChanged();
    void progressChanged();
    void isRunningChanged();
    void busyChanged();
    void recentFoldersChanged();
    void canSaveChanged();
    void canCopyChanged();
    void canLoadReportChanged();
    void canRenameFolderChanged();
    void canCreatePlaylistsChanged();
    void alertChanged();
    void sandboxWarningMessageChanged();
    void sortByDurationChanged();
    void playbackSpeedChanged();
    void progressDetailChanged();

private:
    // A file the user chooses and a worker writes: what is said when there is no report, the
    // dialog's title and suggested name, and the statuses while writing, once written (%1: the
    // file) and on failure (%1: why).
    struct FileToWrite {
        QString nothingToWrite;
        QString dialogTitle;
        const char* suggestedName;
        QString working;
        QString done;
        QString failed;
    };
    void writeChosenFile(const FileToWrite& what, std::function<QByteArray()> bytes);
    std::filesystem::path reportFolder() const;
    // Shared by every action.
    void setStatus(const QString& message, StatusKind kind = StatusKind::done);
    void appendLog(const QString& message);
    void showError(const QString& message);
    void showInfo(const QString& message);
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

    // Work that competes with a calculation for the folder or the report; one at a time.
    enum class Task { none, loadingReport, savingReport, renaming, writingPlaylists };
    void setTask(Task task);
    void setRunning(bool running);
    // Runs the work on a worker; false, after saying so, when no thread could be started.
    bool startWork(std::function<void()> work);

    void setFolder(const std::filesystem::path& folder);
    // Something else than a worker's result changed the folder or the report: results still on
    // their way about the old ones are dropped.
    void moveOn() { ++m_generation; }
    // The folder an action works on, or nothing after an alert that says why. The disk has a
    // quarter of a second to answer; a folder that does not answer by then is taken as it is,
    // and the work that follows on a worker finds out.
    struct CheckedFolder {
        std::filesystem::path path;
        std::optional<FolderIdentity> identity;
        QByteArray token;
    };
    std::optional<CheckedFolder> validatedFolder();
    std::filesystem::path reportFile() const;

    // Reads the folder and its report on a worker; remember: the user chose the folder, whose
    // token is stored once it was looked at.
    void lookInBackground(std::function<std::filesystem::path()> folderToLook, bool remember);
    void showFolderLook(const std::filesystem::path& named, FolderLook look, bool remember);
    QString settingsProblems() const;
    // The only ways the current report changes: shown with the flags it enables, gone, or kept
    // on show for another folder, where it can be saved or copied but not acted on.
    void showReport(LoadedReport report);
    void clearReport(const QString& output);
    void detachReport();
    void confirmRename(const std::filesystem::path& folder, const std::string& newName);
    void showPlaylistsWritten(const PlaylistsWritten& written);
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
    int m_playbackSpeed = 100;
    QString m_reportText;
    QString m_statusMessage;
    StatusKind m_statusKind = StatusKind::done;
    qint64 m_percent = 0;
    double m_progress = 0.0;
    bool m_isRunning = false;
    Task m_task = Task::none;
    bool m_canSave = false;
    bool m_canCopy = false;
    bool m_canLoadReport = false;
    bool m_canRenameFolder = false;
    bool m_canCreatePlaylists = false;
    std::optional<AlertItem> m_alert;
    QString m_sandboxWarningMessage;
    LoadedReport m_report;
    std::uint64_t m_generation = 0;
    bool m_startingUp = true; // until the restored folder was looked at
    std::stop_source m_playlistStop;
    std::set<std::filesystem::path> m_unreachable, m_checking; // recent folders
    // The folder the running calculation measures, and what to show again if it is stopped.
    std::optional<FolderIdentity> m_runFolder;
    std::filesystem::path m_runFolderPath;
    QStringList m_runExtensions;
    QString m_progressDetail;
    QString m_cacheProblem; // said once, with the run's outcome
    RunClock m_clock;
    struct BeforeRun {
        QString reportText;
        qint64 percent = 0;
    } m_beforeRun;

    // Last, so that they are destroyed first: running work calls back into the fields.
    BackgroundWork m_work{this};
    std::unique_ptr<CalculationEngine> m_engine;
};

} // namespace quillmark

Q_DECLARE_METATYPE(quillmark::ReportSummary)
Q_DECLARE_METATYPE(quillmark::StatusKind)
