#include "report/report_writer.h"

#include "model/duration_label.h"
#include "report/report_format.h"

namespace quillmark {

QStringList reportLines(const QList<FolderReport>& folders, std::int64_t grandTotalSeconds)
{
    QStringList lines;
    for (const FolderReport& folder : folders) {
        lines.append(folderHeaderKeyword + oneLine(folder.path));
        for (const FileEntry& file : folder.files) {
            if (file.error)
                lines.append(errorLineKeyword + oneLine(file.fullPath) + QLatin1String(": ") +
                             oneLine(*file.error));
            lines.append(withDuration(oneLine(file.name), formatDuration(file.seconds)));
        }
        lines.append(withDuration(folderTotalKeyword, formatDuration(folder.totalSeconds)));
        lines.append(QString());
    }
    lines.append(withDuration(grandTotalKeyword, formatDuration(grandTotalSeconds)));
    lines.append(QString());
    return lines;
}

QString reportText(const QList<FolderReport>& folders, std::int64_t grandTotalSeconds)
{
    return reportLines(folders, grandTotalSeconds).join(QLatin1Char('\n'));
}

} // namespace quillmark
