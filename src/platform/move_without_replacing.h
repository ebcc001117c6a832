#pragma once

#include <filesystem>

namespace quillmark {

// Moves a file or folder to a new path in one step and never replaces what already stands there,
// not even an empty folder (which a plain rename(2) would replace). Throws std::system_error:
// EEXIST when the new path is taken.
void moveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// The same guarantee for file systems that refuse the no-replace flag: a folder first claims the
// new name with a fresh empty folder of its own and then moves onto it; anything else is linked
// under the new name and unlinked under the old one.
void moveWithoutReplacingFallback(const std::filesystem::path& from,
                                  const std::filesystem::path& to);

} // namespace quillmark
