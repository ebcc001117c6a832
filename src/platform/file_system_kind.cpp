#include "platform/file_system_kind.h"

#include <sys/vfs.h>

namespace quillmark {

bool isRemoteFileSystemType(unsigned long type)
{
    switch (type) {
    case 0x6969:     // NFS
    case 0x517B:     // SMB
    case 0xFF534D42: // CIFS
    case 0xFE534D42: // SMB2
    case 0x65735546: // FUSE (sshfs, rclone, GlusterFS, ...)
    case 0x01021997: // 9P
    case 0x5346414F: // AFS
    case 0x6B414653: // kAFS
    case 0x00C36400: // Ceph
    case 0x73757245: // Coda
    case 0x564C:     // NCP
    case 0x0BD00BD0: // Lustre
    case 0x01161970: // GFS2
    case 0x7461636F: // OCFS2
        return true;
    default:
        return false;
    }
}

bool isOnRemoteFileSystem(const std::filesystem::path& path)
{
    struct statfs info {};
    return ::statfs(path.c_str(), &info) == 0 &&
           isRemoteFileSystemType(static_cast<unsigned long>(info.f_type));
}

} // namespace quillmark
