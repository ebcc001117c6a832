#pragma once

#include <filesystem>

namespace quillmark {

// Moves a file or folder to a new path in one step and never replaces what already stands there,
// not even an empty folder (which a plain rename(2) would replace). Throws std::system_error:
// EEXIST when the new path is taken.
void moveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// The same guarantee for file systems that refuse the no-replace flag (NFS, sshfs): a folder first
// claims the new name with an empty folder of its own, marked as such, and then moves onto it;
// anything else is linked under the new name and unlinked under the old one. A move killed
// between the two steps leaves the mark, which the next move to that name recognises and
// removes while it is empty; an empty folder of anyone else's is never taken for it. Either way
// the folder is synced afterwards, so that the move outlives a power cut.
void moveWithoutReplacingFallback(const std::filesystem::path& from,
                                  const std::filesystem::path& to);

} // namespace quillmark
