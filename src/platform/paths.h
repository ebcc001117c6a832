#pragma once

#include <QString>

#include <filesystem>

namespace quillmark {

// The user's home folder.
std::filesystem::path homeFolder();

// A typed path with a leading "~" or "~user" replaced by that home folder; nothing else changes.
std::filesystem::path expandTilde(const QString& typed);

// The path made absolute and tidy: relative paths are taken from the working folder,
// and "." components, repeated and trailing separators are dropped. ".." stays, since it may
// cross a symbolic link.
std::filesystem::path normalizedPath(const std::filesystem::path& path);

} // namespace quillmark
