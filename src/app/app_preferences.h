#pragma once

#include "platform/settings_store.h"

#include <QByteArrayList>

#include <filesystem>
#include <optional>
#include <vector>

namespace quillmark {

// The last folder as the store holds it: its path and the token made for it, if any.
struct StoredFolder {
    std::optional<std::filesystem::path> path;
    QByteArray token;
};

// The folder a stored one names now: found again by its token (also after a rename in place),
// else the stored path; nothing on first start. Examines the disk: call it off the GUI thread.
std::optional<std::filesystem::path> restoreFolder(const StoredFolder& stored);

// The application's settings, read and written without examining any folder. Nothing here is
// ever removed from the store.
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
    // The speed totals are also shown at, in hundredths (100: 1×, the totals alone).
    int playbackSpeed() const;
    void setPlaybackSpeed(int hundredths);

    StoredFolder lastFolder() const;
    // Stores the path and the folder becomes the first of the recent ones, in place of
    // replacing (a file that was named for its folder).
    void rememberFolder(const std::filesystem::path& folder,
                        const std::optional<std::filesystem::path>& replacing = std::nullopt);
    // Stores the token made for the folder, while it is still the last one; an empty token (the
    // folder could not be examined) leaves the older one in place.
    void rememberFolderToken(const std::filesystem::path& folder, const QByteArray& token);
    // The last eight folders remembered, newest first, also those that are not there now: an
    // unmounted share or an unplugged disk may be back.
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
