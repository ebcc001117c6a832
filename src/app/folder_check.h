#pragma once

#include "model/failure.h"
#include "platform/folder_identity.h"

#include <QByteArray>
#include <QString>

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace quillmark {

// Why a folder cannot be measured, in the words the user reads, or which folder it is.
struct FolderState {
    std::optional<QString> problem;
    std::optional<FolderIdentity> identity;
};
FolderState examineFolder(const std::filesystem::path& folder);

// Only why it cannot be measured; nothing when it can be.
std::optional<QString> folderProblem(const std::filesystem::path& folder);

// The folder that holds every entry of a selection: the deepest one their paths share, found
// from the paths alone.
std::filesystem::path selectionFolder(const std::vector<std::filesystem::path>& selection);

// The message that refuses an empty or blank folder path.
QString emptyFolderMessage();

// The folder an action is about to work on, as it was found.
struct CheckedFolder {
    std::filesystem::path path;
    std::optional<FolderIdentity> identity; // nothing: it did not answer in time
    QByteArray token;
};

// Looks at the folder on a worker started by `startWorker`, waiting a quarter of a second at
// most: a folder that does not answer by then is taken as it is, and the work that follows on a
// worker finds out. Fails with why it cannot be worked on.
Expected<CheckedFolder>
checkFolderBriefly(const std::filesystem::path& folder,
                   const std::function<bool(std::function<void()>)>& startWorker);

} // namespace quillmark
