#pragma once

#include "app/action_host.h"
#include "app/app_preferences.h"
#include "app/calculation_run.h"
#include "app/folder_actions.h"
#include "app/folder_field.h"
#include "app/jobs.h"
#include "app/loaded_report.h"
#include "app/playlist_job.h"
#include "app/report_file_actions.h"
#include "app/row_actions.h"
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

namespace quillmark {

class DesktopServices;
class SettingsStore;

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
    std::function<bool(const std::filesystem::path&)> showFileInFileManager =
        quillmark::showFileInFileManager;
    std::function<bool(const std::filesystem::path&)> openWithDefaultApplication =
        quillmark::openWithDefaultApplication;
};

// Everything the main window shows and every action it calls. Lives on the GUI thread, which
// never waits on the disk: the work of every action that reads or writes files runs as a job
// (app/jobs.h) and reports back. The actions themselves are carried out by one object per kind:
// the calculation run, the report's files, the folder's actions and the playlists; this object
// holds what they change and publishes it, with the rules of what may run while something else
// does.
class DurationCalculatorViewModel : public QObject, private ActionHost {
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
    Q_PROPERTY(bool isBusy READ isBusy NOTIFY actionsChanged)
    Q_PROPERTY(bool canStop READ canStop NOTIFY actionsChanged)
    Q_PROPERTY(bool canCalculate READ canCalculate NOTIFY actionsChanged)
    Q_PROPERTY(bool canChooseFolder READ canChooseFolder NOTIFY actionsChanged)
    Q_PROPERTY(bool canSave READ canSave NOTIFY actionsChanged)
    Q_PROPERTY(bool canCopy READ canCopy NOTIFY actionsChanged)
    Q_PROPERTY(bool canLoadReport READ canLoadReport NOTIFY actionsChanged)
    Q_PROPERTY(bool canClearOutput READ canClearOutput NOTIFY actionsChanged)
    Q_PROPERTY(bool canRenameFolder READ canRenameFolder NOTIFY actionsChanged)
    Q_PROPERTY(bool canCreatePlaylists READ canCreatePlaylists NOTIFY actionsChanged)
    Q_PROPERTY(
        std::optional<quillmark::AlertItem> alert READ alert WRITE setAlert NOTIFY alertChanged)
    Q_PROPERTY(QString sandboxWarningMessage READ sandboxWarningMessage CONSTANT)
    Q_PROPERTY(bool sortByDuration READ sortByDuration WRITE setSortByDuration NOTIFY
                   sortByDurationChanged)
    Q_PROPERTY(QString progressDetail READ progressDetail NOTIFY progressDetailChanged)

public:
    // Shows at once; the restored folder and its report follow from a worker.
    explicit DurationCalculatorViewModel(ViewModelServices services, QObject* parent = nullptr);
    ~DurationCalculatorViewModel() override;

    const QString& folderPath() const { return m_folder.text(); }
    const QString& extensionsText() const { return m_extensionsText; }
    // What the extensions text gives, as a calculation will use it.
    QStringList extensionList() const override;
    bool hideEmptyFolders() const override { return m_hideEmptyFolders; }
    const QString& reportText() const override { return m_reportText; }
    const ReportSummary& reportSummary() const { return m_report.summary; }
    const QString& statusMessage() const override { return m_statusMessage; }
    StatusKind statusKind() const override { return m_statusKind; }
    qint64 percent() const { return m_percent; }
    double progress() const { return m_progress; }
    // A calculation runs.
    bool isRunning() const override { return m_run.isRunning(); }
    // A calculation or another action's work runs: the actions that would compete with it wait.
    bool isBusy() const override { return isRunning() || m_jobs.task() != Task::none; }
    // What runs can be stopped: a calculation or the writing of playlists.
    bool canStop() const { return isRunning() || m_jobs.task() == Task::writingPlaylists; }
    // Calcola, Ricalcola senza cache, choosing a folder (typed, browsed, recent, dropped) and
    // showing it in the file manager: only while nothing runs.
    bool canCalculate() const { return !isBusy(); }
    bool canChooseFolder() const { return !isBusy(); }
    // A calculation leaves the report shown before it to save, copy and load; the other jobs
    // hold it.
    bool canSave() const { return !m_report.text.isEmpty() && m_jobs.task() == Task::none; }
    bool canCopy() const { return !m_report.text.isEmpty(); }
    bool canLoadReport() const { return m_hasReportFile && m_jobs.task() == Task::none; }
    bool canClearOutput() const { return !isBusy(); }
    bool canRenameFolder() const
    {
        return !isBusy() && m_report.durationLabel.has_value() && m_selection.empty();
    }
    bool canCreatePlaylists() const
    {
        return !isBusy() && m_reportIsTheFolders && m_selection.empty();
    }
    const std::optional<AlertItem>& alert() const { return m_alert; }
    // Empty unless the process runs in a sandbox that keeps ffprobe from being started.
    const QString& sandboxWarningMessage() const { return m_sandboxWarningMessage; }

    // The folder tree of the report (its rows, then the groups above them), with subtree totals;
    // the order to show it in (the report's, or the longest subtree first); the grand total.
    const std::vector<FolderTreeRow>& folderTree() const { return m_report.tree; }
    std::vector<int> folderOrder() const;
    std::int64_t grandTotalSeconds() const { return m_report.grandTotalSeconds; }
    // The grand total as the report states it; nothing for a report read from text that lost
    // its grand total line.
    std::optional<std::int64_t> statedGrandTotal() const
    {
        return m_report.statesGrandTotal ? std::optional(m_report.grandTotalSeconds) : std::nullopt;
    }
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
    const QString& progressDetail() const { return m_run.progressDetail(); }
    // Stored at once, like the hide option.
    void setSortByDuration(bool byDuration);

    // When a calculation found no video: what it looked for and where ("Nessun video .mp4, .mkv
    // in «Film»"); else empty.
    QString noVideosMessage() const;
    // When the folder field names another folder than the report's: which is which; else empty.
    QString staleReportMessage() const;

    // The report text that save, copy, rename and playlists work on; empty: no report.
    const QString& currentReport() const { return m_report.text; }
    // The report shown, with what a calculation knows beyond its text and where a rename moved
    // its folder.
    const LoadedReport& shownReport() const { return m_report; }
    const std::optional<QString>& currentDurationLabel() const { return m_report.durationLabel; }

    void setFolderPath(const QString& path);
    void setExtensionsText(const QString& text);
    // Stored at once, every time the user changes it.
    void setHideEmptyFolders(bool hide);
    // The folder-change steps of chooseFolder() for a folder named elsewhere: on the command
    // line, dropped on the window, or picked from the recent ones. A file names its folder.
    void useFolder(const std::filesystem::path& folder);
    // Files and folders chosen in a file manager: the next calculation measures exactly them,
    // grouped by folder, until another folder is chosen or typed. The folder field shows the
    // folder that holds them all. Looks at each entry once, to tell files from folders.
    void useSelection(std::vector<std::filesystem::path> selection);
    const std::vector<std::filesystem::path>& selection() const { return m_selection; }
    // As remembered, with what the last check found; checkRecentFolders() looks again.
    std::vector<RecentFolder> recentFolders() const { return m_folderActions.recent(); }
    void checkRecentFolders() { m_folderActions.checkRecent(); }

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

public:
    // What the rows of the report offer (app/row_actions.h).
    RowActions& rowActions() { return m_rowActions; }

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
    // What may run now changed: isBusy, canStop and every can… flag.
    void actionsChanged();
    void recentFoldersChanged();
    void alertChanged();
    void sortByDurationChanged();
    // The report's folder has a new name: the rows' paths follow it.
    void reportPathsChanged();
    void playbackSpeedChanged();
    void progressDetailChanged();

private:
    // ActionHost: what the objects that carry out the actions see and change.
    const ViewModelServices& services() const override { return m_services; }
    AppPreferences& preferences() override { return m_preferences; }
    Jobs& jobs() override { return m_jobs; }
    void setStatus(const QString& message, StatusKind kind = StatusKind::done) override;
    void showError(const QString& message) override;
    void showInfo(const QString& message) override;
    const FolderField& folderField() const override { return m_folder; }
    void setFolder(const std::filesystem::path& folder) override;
    void setHasReportFile(bool hasReport) override;
    const LoadedReport& report() const override { return m_report; }
    void showReport(LoadedReport report) override;
    void clearReport(const QString& output) override;
    void detachReport() override;
    void reportFolderRenamed(const std::filesystem::path& to) override;
    void setReportText(const QString& text) override;
    void updateProgress(qint64 percent) override;

    // Assigns and, when the value changed, announces it.
    template <class T>
    void update(T& field, const T& value, void (DurationCalculatorViewModel::*changed)())
    {
        if (field == value)
            return;
        field = value;
        Q_EMIT(this->*changed)();
    }
    // Announces a change of what may run, once per change.
    void refreshActions();
    // The folder an action works on, or nothing after an alert that says why.
    std::optional<CheckedFolder> validatedFolder();
    void startCalculation(bool useCache);

    ViewModelServices m_services;
    AppPreferences m_preferences;

    FolderField m_folder;
    std::vector<std::filesystem::path> m_selection;
    QString m_extensionsText;
    bool m_hideEmptyFolders = true;
    bool m_sortByDuration = false;
    int m_playbackSpeed = 100;
    QString m_reportText;
    QString m_statusMessage;
    StatusKind m_statusKind = StatusKind::done;
    qint64 m_percent = 0;
    double m_progress = 0.0;
    std::optional<AlertItem> m_alert;
    QString m_sandboxWarningMessage;
    LoadedReport m_report;
    bool m_hasReportFile = false;      // the folder named holds a "durata.txt"
    bool m_reportIsTheFolders = false; // the report shown is about the folder named
    std::vector<bool> m_actions;       // what refreshActions() last announced

    // Last, so that they are destroyed first: running work calls back into the fields.
    Jobs m_jobs{*this};
    CalculationRun m_run{*this};
    ReportFileActions m_reportFiles{*this};
    FolderActions m_folderActions{*this};
    PlaylistJob m_playlists{*this};
    RowActions m_rowActions{*this};
};

} // namespace quillmark

Q_DECLARE_METATYPE(quillmark::ReportSummary)
Q_DECLARE_METATYPE(quillmark::StatusKind)
