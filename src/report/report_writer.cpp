#include "report/report_writer.h"

#include "model/duration_label.h"

#include <algorithm>

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

namespace {

// The stand-in for a character that ends a line for the reader, or the character itself.
QChar visibleInOneLine(QChar c)
{
    switch (c.unicode()) {
    case u'\n':
    case 0x85:   // next line
    case 0x2028: // line separator
    case 0x2029: // paragraph separator
        return QChar(0x2424);
    case u'\r':
        return QChar(0x240D);
    case 0x0B:
        return QChar(0x240B);
    case 0x0C:
        return QChar(0x240C);
    default:
        return c;
    }
}

} // namespace

QString oneLine(QString text)
{
    // Copied only when something changes: nearly every name has nothing to replace.
    const auto first =
        std::find_if(text.cbegin(), text.cend(), [](QChar c) { return visibleInOneLine(c) != c; });
    for (qsizetype i = first - text.cbegin(); i < text.size(); ++i)
        text[i] = visibleInOneLine(text[i]);
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
