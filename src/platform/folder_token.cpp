#include "platform/folder_token.h"

#include "platform/folder_identity.h"
#include "platform/posix.h"

#include <QDataStream>
#include <QIODevice>

#include <cstring>
#include <dirent.h>
#include <memory>

namespace quillmark {

namespace {

constexpr quint32 tokenMagic = 0x514d4654; // "QMFT"
constexpr quint32 tokenVersion = 1;

std::optional<std::filesystem::path> findInParent(const std::filesystem::path& parent,
                                                  const FolderIdentity& identity)
{
    const DirHandle dir(::opendir(parent.c_str()));
    if (!dir)
        return std::nullopt;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        const std::filesystem::path candidate = parent / entry->d_name;
        // Not through links: the folder itself was renamed, a link to it is another entry.
        if (folderIdentity(candidate, false) == identity)
            return candidate;
    }
    return std::nullopt;
}

} // namespace

QByteArray makeFolderToken(const std::filesystem::path& folder)
{
    const auto identity = folderIdentity(folder);
    if (!identity)
        return {};
    QByteArray token;
    QDataStream out(&token, QIODevice::WriteOnly);
    out << tokenMagic << tokenVersion << identity->device << identity->inode
        << QByteArray::fromStdString(folder.native());
    return token;
}

std::optional<std::filesystem::path> resolveFolderToken(const QByteArray& token)
{
    QDataStream in(token);
    quint32 magic = 0;
    quint32 version = 0;
    FolderIdentity identity;
    QByteArray pathBytes;
    in >> magic >> version >> identity.device >> identity.inode >> pathBytes;
    if (in.status() != QDataStream::Ok || magic != tokenMagic || version != tokenVersion)
        return std::nullopt;
    const std::filesystem::path path = pathBytes.toStdString();
    if (folderIdentity(path) == identity)
        return path;
    return findInParent(path.parent_path(), identity);
}

} // namespace quillmark
