#pragma once

#include "platform/folder_identity.h"

#include <QString>

#include <filesystem>
#include <optional>

namespace quillmark {

// Why a folder cannot be measured, in the words the user reads, or which folder it is.
struct FolderState {
    std::optional<QString> problem;
    std::optional<FolderIdentity> identity;
};
FolderState examineFolder(const std::filesystem::path& folder);

// Only why it cannot be measured; nothing when it can be.
std::optional<QString> folderProblem(const std::filesystem::path& folder);

// The message that refuses an empty or blank folder path.
QString emptyFolderMessage();

} // namespace quillmark
