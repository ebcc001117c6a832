#include "report/folder_labels.h"

namespace quillmark {

FolderDurationLabels folderDurationLabels(const ReportSummary& report)
{
    FolderDurationLabels labels;
    for (const FolderRow& folder : report.folders)
        labels.insert(folder.path, folder.totalLabel);
    return labels;
}

} // namespace quillmark
