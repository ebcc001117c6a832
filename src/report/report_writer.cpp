#include "report/report_writer.h"

#include "model/duration_label.h"

namespace quillmark {

namespace {

QString inParentheses(std::int64_t seconds)
{
    return QLatin1String(" (") + formatDuration(seconds) + QLatin1Char(')');
}

} // namespace

QStringList reportLines(const QList<FolderReport>& folders, std::int64_t grandTotalSeconds)
{
    QStringList lines;
    for (const FolderReport& folder : folders) {
        lines.append(QLatin1String("Cartella ") + folder.path);
        for (const FileEntry& file : folder.files) {
            if (file.error)
                lines.append(QLatin1String("Errore con file ") + file.fullPath +
                             QLatin1String(": ") + *file.error);
            lines.append(file.name + inParentheses(file.seconds));
        }
        lines.append(QLatin1String("Totale cartella") + inParentheses(folder.totalSeconds));
        lines.append(QString());
    }
    lines.append(QLatin1String("Gran totale") + inParentheses(grandTotalSeconds));
    lines.append(QString());
    return lines;
}

QString reportText(const QList<FolderReport>& folders, std::int64_t grandTotalSeconds)
{
    return reportLines(folders, grandTotalSeconds).join(QLatin1Char('\n'));
}

} // namespace quillmark
