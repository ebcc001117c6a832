#pragma once

#include <QString>

#include <filesystem>
#include <optional>

namespace quillmark {

// Why a folder cannot be measured, in the words the user reads; nothing when it can be.
std::optional<QString> folderProblem(const std::filesystem::path& folder);

// The folder a typed path names, or the message that says why it cannot be used. Blank text is
// rejected; otherwise the text is used untrimmed, after tilde expansion.
struct FolderCheck {
    std::filesystem::path folder;
    std::optional<QString> problem;
};
FolderCheck checkTypedFolder(const QString& typed);

// The message that refuses an empty or blank folder path.
QString emptyFolderMessage();

} // namespace quillmark
