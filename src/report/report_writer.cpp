#include "report/report_writer.h"

#include "model/duration_label.h"

namespace quillmark {

namespace {

QString inParentheses(std::int64_t seconds)
{
    return durationSuffix(formatDuration(seconds));
}

} // namespace

QStringList reportLines(const QList<FolderReport>& folders, std::int64_t grandTotalSeconds)
{
    QStringList lines;
    for (const FolderReport& folder : folders) {
        lines.append(QLatin1String("Cartella ") + oneLine(folder.path));
        for (const FileEntry& file : folder.files) {
            if (file.error)
                lines.append(QLatin1String("Errore con file ") + oneLine(file.fullPath) +
                             QLatin1String(": ") + oneLine(*file.error));
            lines.append(oneLine(file.name) + inParentheses(file.seconds));
        }
        lines.append(QLatin1String("Totale cartella") + inParentheses(folder.totalSeconds));
        lines.append(QString());
    }
    lines.append(QLatin1String("Gran totale") + inParentheses(grandTotalSeconds));
    lines.append(QString());
    return lines;
}

ReportSummary reportSummary(const QList<FolderReport>& folders, std::int64_t grandTotalSeconds)
{
    ReportSummary summary;
    summary.folders.reserve(folders.size());
    for (const FolderReport& folder : folders) {
        FolderRow row{oneLine(folder.path), {}, formatDuration(folder.totalSeconds)};
        row.files.reserve(folder.files.size());
        for (const FileEntry& file : folder.files) {
            std::optional<QString> error;
            if (file.error)
                error = oneLine(*file.error);
            row.files.append(FileRow{oneLine(file.name), formatDuration(file.seconds), error});
        }
        summary.folders.append(std::move(row));
    }
    summary.grandTotalLabel = formatDuration(grandTotalSeconds);
    return summary;
}

QString oneLine(QString text)
{
    for (QChar& c : text) {
        switch (c.unicode()) {
        case u'\n':
        case 0x85:   // next line
        case 0x2028: // line separator
        case 0x2029: // paragraph separator
            c = QChar(0x2424);
            break;
        case u'\r':
            c = QChar(0x240D);
            break;
        case 0x0B:
            c = QChar(0x240B);
            break;
        case 0x0C:
            c = QChar(0x240C);
            break;
        }
    }
    return text;
}

QString durationSuffix(const QString& label)
{
    return QLatin1String(" (") + label + QLatin1Char(')');
}

QString reportText(const QList<FolderReport>& folders, std::int64_t grandTotalSeconds)
{
    return reportLines(folders, grandTotalSeconds).join(QLatin1Char('\n'));
}

} // namespace quillmark
