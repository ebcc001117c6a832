#pragma once

#include <QtGlobal>

#include <filesystem>
#include <optional>

namespace quillmark {

// Which folder a path names on disk, whatever the path: device and inode.
struct FolderIdentity {
    quint64 device = 0;
    quint64 inode = 0;

    friend bool operator==(const FolderIdentity&, const FolderIdentity&) = default;
};

// Nothing when the path names no folder or cannot be examined.
std::optional<FolderIdentity> folderIdentity(const std::filesystem::path& folder,
                                             bool followLinks = true);

// Whether the folder is the root of a mounted file system; the root folder is one.
bool isMountPoint(const std::filesystem::path& folder);

} // namespace quillmark
