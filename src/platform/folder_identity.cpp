#include "platform/folder_identity.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace quillmark {

std::optional<FolderIdentity> folderIdentity(const std::filesystem::path& folder, bool followLinks)
{
    struct stat info {};
    const int result = followLinks ? ::stat(folder.c_str(), &info) : ::lstat(folder.c_str(), &info);
    if (result != 0 || !S_ISDIR(info.st_mode))
        return std::nullopt;
    return FolderIdentity{quint64(info.st_dev), quint64(info.st_ino)};
}

bool isMountPoint(const std::filesystem::path& folder)
{
    struct statx info {};
    if (::statx(AT_FDCWD, folder.c_str(), 0, STATX_BASIC_STATS, &info) == 0 &&
        (info.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT))
        return (info.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    // Kernels before 5.8 do not tell: a folder on another device than its parent is a mount.
    const auto self = folderIdentity(folder);
    const auto parent = folderIdentity(folder / "..");
    return self && parent && (self->device != parent->device || self->inode == parent->inode);
}

} // namespace quillmark
