#pragma once

#include <QHash>
#include <QString>

namespace quillmark {

// Folder path to duration label, as the folder totals of a report give them.
using FolderDurationLabels = QHash<QString, QString>;

// The folder totals of report text, for naming playlists; a later block for the same folder wins.
FolderDurationLabels folderDurationLabels(const QString& report);

} // namespace quillmark
