#pragma once

#include "platform/settings_store.h"

#include <QByteArrayList>

#include <filesystem>
#include <optional>
#include <vector>

namespace quillmark {

// The application's settings. Nothing here is ever removed from the store.
class AppPreferences {
public:
    explicit AppPreferences(SettingsStore& store);

    // On when never set.
    bool hideEmptyFolders() const;
    void setHideEmptyFolders(bool hide);

    // How the report's folder rows are ordered: by the longest subtree first, or (when never
    // set) in the natural order of the report.
    bool sortByDuration() const;
    void setSortByDuration(bool byDuration);

    // The last folder: found again by its token (also after a rename in place), else the stored
    // path; nothing on first start.
    std::optional<std::filesystem::path> restoredFolder() const;
    // Stores the path and, when the folder can be examined, a token for it; the folder becomes
    // the first of the recent ones.
    void rememberFolder(const std::filesystem::path& folder);
    // The last eight folders remembered, newest first, without those that are not there now.
    std::vector<std::filesystem::path> recentFolders() const;

    // The configured ffprobe, an absolute path taken as written; nothing when unset, empty or
    // relative, which means: search for it. A relative path would run whatever program of that
    // name sits in the working folder, a downloaded folder's for instance.
    std::optional<std::filesystem::path> ffprobePath() const;
    // What the user is told when the configured path was not taken.
    std::optional<QString> ffprobePathProblem() const;

private:
    QByteArrayList storedRecentFolders() const;
    void storeRecentFolders(const QByteArrayList& folders);

    SettingsStore& m_store;
};

} // namespace quillmark
