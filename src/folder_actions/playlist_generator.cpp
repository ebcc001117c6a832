#include "folder_actions/playlist_generator.h"

#include "folder_actions/folder_renamer.h"
#include "model/path_text.h"
#include "platform/atomic_file.h"
#include "report/report_format.h"
#include "scan/extensions.h"

#include <QSet>

namespace quillmark {

namespace {

QString baseName(const std::filesystem::path& folder, const FolderDurationLabels& labels)
{
    // Reports hold paths on one line each, as the writer put them.
    const auto label = labels.find(oneLine(pathText(folder)));
    if (label == labels.end())
        return lastPathComponent(folder);
    const std::string named = folderNameWithDuration(folder.filename().native(), *label);
    return QString::fromUtf8(named.data(), qsizetype(named.size()));
}

QString uniqueFileName(QString base, QSet<QString>& used)
{
    // The root folder is named "/": a separator must never lead the file out of the destination.
    base.remove(QLatin1Char('/'));
    if (base.isEmpty())
        base = QStringLiteral("playlist");
    QString candidate = base + QLatin1String(".m3u");
    for (int counter = 2; used.contains(candidate.toLower()); ++counter)
        candidate = base + QStringLiteral(" (%1).m3u").arg(counter);
    used.insert(candidate.toLower());
    return candidate;
}

// Paths are written as their raw bytes: a player finds a file whose name is not UTF-8 only so.
// A line break would end the entry early and could inject lines of its own: such a path is
// written as a percent-encoded file:// URI instead, which players accept.
QByteArray playlistEntry(const std::filesystem::path& file)
{
    const QByteArray path = QByteArray::fromStdString(file.native());
    if (!path.contains('\n') && !path.contains('\r'))
        return path;
    return "file://" + path.toPercentEncoding("/");
}

QByteArray playlistContent(const std::vector<std::filesystem::path>& files)
{
    QByteArray content("#EXTM3U\n");
    for (const std::filesystem::path& file : files) {
        content += playlistEntry(file);
        content += '\n';
    }
    return content;
}

} // namespace

std::vector<PlannedPlaylist> planPlaylists(const std::vector<WalkedFolder>& folders,
                                           const QStringList& extensions,
                                           const std::filesystem::path& destination,
                                           const FolderDurationLabels& labels)
{
    std::vector<PlannedPlaylist> playlists;
    QSet<QString> used;
    WalkPaths paths(folders);
    for (std::size_t index = 0; index < folders.size(); ++index) {
        std::vector<std::filesystem::path> videos;
        for (const std::string& name : folders[index].files) {
            if (matchesExtension(name, extensions))
                videos.emplace_back(paths.file(index, name));
        }
        if (videos.empty())
            continue;
        const std::filesystem::path folder = paths.folder(index);
        const QString name = uniqueFileName(baseName(folder, labels), used);
        playlists.push_back(PlannedPlaylist{destination / name.toStdString(), pathText(folder),
                                            std::int64_t(videos.size()), playlistContent(videos)});
    }
    return playlists;
}

void writePlaylist(const PlannedPlaylist& playlist)
{
    writeFileAtomically(playlist.file, playlist.content);
}

} // namespace quillmark
