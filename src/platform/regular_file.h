#pragma once

#include "platform/posix.h"

#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/types.h>

namespace quillmark {

// An entry that is not a regular file (a FIFO, a device, a socket, a folder): reading it could
// block forever or never end, so it is refused before anything opens it.
class NotRegularFileError : public std::runtime_error {
public:
    NotRegularFileError(const std::filesystem::path& file, mode_t mode);
};

// Both reach paths longer than PATH_MAX folder by folder, so they work on any path the walk lists.

// An open regular file, and what fstat said of it once it was open.
struct OpenFile {
    FileDescriptor fd;
    struct stat info {};
};

// Opens a regular file for reading, links followed. Never blocks on a FIFO and never opens a
// device, even if the entry changes meanwhile. An entry the folder's listing gave as a regular
// file (`listedRegular`) is opened at once, without following a link, and checked by the fstat
// that follows: one open and one fstat, as no device can take its place without the rights to
// make one (one that became a link since is looked at as any other). Any other entry is examined
// by its path first, since opening a device can itself have effects. Throws NotRegularFileError
// or std::system_error.
OpenFile openRegularFile(const std::filesystem::path& file, bool listedRegular = false);

} // namespace quillmark
