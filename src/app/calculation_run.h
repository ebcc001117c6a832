#pragma once

#include "app/folder_check.h"
#include "app/run_clock.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace quillmark {

class ActionHost;
class CalculationEngine;
struct ComputedReport;

// A calculation as the window runs it: what it says while it goes on, the report it shows at its
// end, and what it puts back when it is stopped.
class CalculationRun : public QObject {
    Q_OBJECT

public:
    explicit CalculationRun(ActionHost& host, QObject* parent = nullptr);
    // Closing the window during a run: the run is abandoned, its measurements stopped. Work
    // stuck on a file system that does not answer is left to end on its own.
    ~CalculationRun() override;

    bool isRunning() const { return m_running; }
    // While running: files done out of all, time gone and, once a few are done, time left.
    const QString& progressDetail() const { return m_progressDetail; }

    // Without useCache every file is measured afresh, and so the cache refreshed. With a
    // selection, exactly its files and folders are measured; `folder` holds them all.
    void start(const CheckedFolder& folder, bool useCache,
               const std::vector<std::filesystem::path>& selection = {});
    // Ends the run at once and puts back what the window showed before it; nothing is saved.
    void stop();

Q_SIGNALS:
    void runningChanged();
    void progressDetailChanged();

private:
    void setRunning(bool running);
    void showProgressDetail();
    void cacheUnavailable(const QString& reason);
    void finished(const ComputedReport& report);
    void failed(const QString& description);

    ActionHost& m_host;
    bool m_running = false;
    // The folder the run measures, and what to show again if it is stopped.
    std::optional<FolderIdentity> m_folder;
    std::filesystem::path m_folderPath;
    std::vector<std::filesystem::path> m_selection;
    QStringList m_extensions;
    QString m_textBefore;
    QString m_progressDetail;
    QString m_cacheProblem; // said once, with the run's outcome
    QString m_doneMessage;  // what the status says at the end of a run
    RunClock m_clock;
    std::unique_ptr<CalculationEngine> m_engine;
};

} // namespace quillmark
