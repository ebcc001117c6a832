#pragma once

#include "app/app_preferences.h"
#include "app/folder_field.h"
#include "app/loaded_report.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <optional>

namespace quillmark {

class Jobs;
struct ViewModelServices;

// What the status line says: that something is done, a note (something was stopped or left as
// it was), an error, or work in progress.
enum class StatusKind { done, note, error, working };

// What the objects that carry out the window's actions may see and change of the window's state,
// and the ways they tell the user what happened: the status line, an alert, a line in the output.
// The view model is the one host; it publishes every change.
class ActionHost {
public:
    virtual const ViewModelServices& services() const = 0;
    virtual AppPreferences& preferences() = 0;
    virtual Jobs& jobs() = 0;

    virtual const QString& statusMessage() const = 0;
    virtual StatusKind statusKind() const = 0;
    virtual void setStatus(const QString& message, StatusKind kind = StatusKind::done) = 0;
    virtual void showError(const QString& message) = 0;
    virtual void showInfo(const QString& message) = 0;

    virtual const FolderField& folderField() const = 0;
    // The field shows the folder.
    virtual void setFolder(const std::filesystem::path& folder) = 0;
    virtual QStringList extensionList() const = 0;
    virtual bool hideEmptyFolders() const = 0;
    // Whether the folder the field names holds a "durata.txt".
    virtual void setHasReportFile(bool hasReport) = 0;

    // The only ways the current report changes: shown with the flags it enables, gone, kept on
    // show for another folder, where it can be saved or copied but not acted on, or following
    // its folder to the new name a rename gave it.
    virtual const LoadedReport& report() const = 0;
    virtual void showReport(LoadedReport report) = 0;
    virtual void clearReport(const QString& output) = 0;
    virtual void detachReport() = 0;
    virtual void reportFolderRenamed(const std::filesystem::path& to) = 0;

    // The output area and the progress of a run.
    virtual const QString& reportText() const = 0;
    virtual void setReportText(const QString& text) = 0;
    virtual void updateProgress(qint64 percent) = 0;
    virtual bool isRunning() const = 0;
    virtual bool isBusy() const = 0;

protected:
    ~ActionHost() = default;
};

} // namespace quillmark
