#pragma once

#include "app/loaded_report.h"

#include <QCoreApplication>
#include <QObject>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace quillmark {

class ActionHost;

// A folder of the recent ones, and whether it answered when last looked at.
struct RecentFolder {
    std::filesystem::path folder;
    bool reachable = true;
};

// What the window does with folders: choosing one and reading its report, the recent ones,
// renaming the folder with its duration and showing it in the file manager.
class FolderActions : public QObject {
    Q_OBJECT

public:
    explicit FolderActions(ActionHost& host, QObject* parent = nullptr);

    // The stored folder, looked at off the GUI thread; what the field shows until then.
    void restore();
    void choose();
    // The folder-change steps of choose() for a folder named elsewhere: on the command line,
    // dropped on the window, or picked from the recent ones. A file names its folder.
    void use(const std::filesystem::path& folder);

    void rename();
    void open();

    // As remembered, with what the last check found; checkRecent() looks again, one worker per
    // folder, so that a share that does not answer holds up only its own entry.
    std::vector<RecentFolder> recent() const;
    void checkRecent();

Q_SIGNALS:
    void recentChanged();

private:
    // Reads the folder and its report on a worker; remember: the user chose the folder, whose
    // token is stored once it was looked at.
    void look(std::function<std::filesystem::path()> folderToLook, bool remember);
    void showLook(const std::filesystem::path& named, FolderLook look, bool remember);
    void confirmRename(const std::filesystem::path& folder, const std::string& newName);
    QString settingsProblems() const;

    ActionHost& m_host;
    bool m_startingUp = true; // until the restored folder was looked at
    std::set<std::filesystem::path> m_unreachable, m_checking;
};

} // namespace quillmark
