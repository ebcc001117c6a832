#pragma once

#include "platform/posix.h"

#include <filesystem>
#include <stdexcept>
#include <sys/types.h>

namespace quillmark {

// An entry that is not a regular file (a FIFO, a device, a socket, a folder): reading it could
// block forever or never end, so it is refused before anything opens it.
class NotRegularFileError : public std::runtime_error {
public:
    NotRegularFileError(const std::filesystem::path& file, mode_t mode);
};

// Both reach paths longer than PATH_MAX folder by folder, so they work on any path the walk lists.

// Throws NotRegularFileError when the path, after following links, names anything but a regular
// file. A path that cannot be examined at all is let through: whoever opens it reports why.
void requireRegularFile(const std::filesystem::path& file);

// Opens a regular file for reading. Never blocks on a FIFO and never opens a device, even if the
// entry changes between the check and the open. Throws NotRegularFileError or std::system_error.
FileDescriptor openRegularFile(const std::filesystem::path& file);

} // namespace quillmark
