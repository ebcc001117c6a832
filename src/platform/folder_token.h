#pragma once

#include <QByteArray>

#include <filesystem>
#include <optional>

namespace quillmark {

// An opaque token that finds a folder again: its path and its identity on disk (device and
// inode). Empty when the folder cannot be examined.
QByteArray makeFolderToken(const std::filesystem::path& folder);

// The folder a token names: its path while that is still the same folder, else the entry of the
// same parent folder that is (a folder renamed in place), else nothing.
std::optional<std::filesystem::path> resolveFolderToken(const QByteArray& token);

} // namespace quillmark
