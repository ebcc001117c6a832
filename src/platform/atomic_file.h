#pragma once

#include <QByteArray>

#include <filesystem>

namespace quillmark {

// Replaces the file's content whole or not at all: the bytes go to a temporary file in the same
// folder, which is then renamed over the target. A new file gets the usual permissions, an
// existing regular file of the user's keeps its own except the set-ID and sticky bits; another
// user's file or a symbolic link is replaced (never followed) by a file with the usual ones. Throws
// std::system_error; the target is then untouched. A write that was killed leaves one temporary
// file, which the next write into that folder removes. Works on raw paths, so names that are not
// UTF-8 are written where they belong.
void writeFileAtomically(const std::filesystem::path& file, const QByteArray& bytes);

} // namespace quillmark
