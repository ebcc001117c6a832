#pragma once

#include "model/report_model.h"

#include <QHash>
#include <QString>

namespace quillmark {

// Folder path to duration label, as the folder totals of a report give them.
using FolderDurationLabels = QHash<QString, QString>;

// The folder totals of a report's rows, for naming playlists; a later row for the same folder
// wins. The rows are the ones the window shows, so a playlist never names a folder otherwise.
FolderDurationLabels folderDurationLabels(const ReportSummary& report);

} // namespace quillmark
