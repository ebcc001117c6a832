#pragma once

#include <filesystem>

namespace quillmark {

// Whether a file system of this statfs type sits behind a network or a user-space daemon (NFS,
// SMB and CIFS, FUSE, 9P, AFS, Ceph and the like): every open and read there is mostly a wait.
bool isRemoteFileSystemType(unsigned long type);

// The same for the file system that holds the path; false when it cannot be told.
bool isOnRemoteFileSystem(const std::filesystem::path& path);

} // namespace quillmark
