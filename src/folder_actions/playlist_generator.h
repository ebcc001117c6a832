#pragma once

#include "report/folder_labels.h"
#include "scan/folder_walk.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace quillmark {

struct PlannedPlaylist {
    std::filesystem::path file;
    QString sourceFolderPath;
    std::int64_t fileCount = 0;
    QByteArray content;
};

// One extended M3U playlist per folder that holds matching files, all to go into destination,
// named after the folder and, when known, its duration ("Mare (1h00m).m3u"); names are unique
// without regard to case. Nothing is written yet.
std::vector<PlannedPlaylist> planPlaylists(const std::vector<WalkedFolder>& folders,
                                           const QStringList& extensions,
                                           const std::filesystem::path& destination,
                                           const FolderDurationLabels& labels);

// Replaces the file atomically: a reader, or a kill midway, finds the old playlist or the new one.
// Throws std::system_error.
void writePlaylist(const PlannedPlaylist& playlist);

} // namespace quillmark
