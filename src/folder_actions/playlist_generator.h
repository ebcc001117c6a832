#pragma once

#include "report/folder_labels.h"
#include "scan/folder_walk.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace quillmark {

struct GeneratedPlaylist {
    std::filesystem::path file;
    QString sourceFolderPath;
    std::int64_t fileCount = 0;
};

// Writes one extended M3U playlist per folder that holds matching files, all into destination,
// named after the folder and, when known, its duration ("Mare (1h00m).m3u"); names are made
// unique without regard to case. Each file is replaced atomically. The first write that fails
// stops the generation with its error (std::system_error); playlists written before it stay.
QList<GeneratedPlaylist> generatePlaylists(const std::vector<WalkedFolder>& folders,
                                           const QStringList& extensions,
                                           const std::filesystem::path& destination,
                                           const FolderDurationLabels& labels);

} // namespace quillmark
