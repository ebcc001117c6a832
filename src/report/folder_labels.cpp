#include "report/folder_labels.h"

#include "report/report_lines.h"
#include "report/report_patterns.h"

#include <optional>

namespace quillmark {

FolderDurationLabels folderDurationLabels(const QString& report)
{
    FolderDurationLabels labels;
    std::optional<QString> folder;
    forEachReportLine(report, [&](QStringView line) {
        if (startsWithWhole(line, folderHeaderStart)) {
            folder = line.sliced(folderHeaderStart.size()).toString();
            return;
        }
        if (!folder)
            return;
        const QRegularExpressionMatch total = folderTotalPattern().match(line);
        if (total.hasMatch()) {
            labels.insert(*folder, total.captured(1));
            folder.reset();
        }
    });
    return labels;
}

} // namespace quillmark
