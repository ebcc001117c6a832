#pragma once

#include <QLatin1String>
#include <QRegularExpression>
#include <QString>
#include <QStringView>

namespace quillmark {

// The report's grammar, in one place for the writer, the reader and the folder names that carry
// a duration. A report is made of these lines, each ending with LF:
//   "Cartella " + folder path
//   "Errore con file " + file path + ": " + message      (before the file's own line)
//   file name + " (" + label + ")"
//   "Totale cartella (" + label + ")", then an empty line
//   "Gran totale (" + label + ")"
// where a label is written by formatDuration ("1h05m").

inline constexpr QLatin1String folderHeaderKeyword("Cartella ");
inline constexpr QLatin1String errorLineKeyword("Errore con file ");
inline constexpr QLatin1String folderTotalKeyword("Totale cartella");
inline constexpr QLatin1String grandTotalKeyword("Gran totale");

// "Name (1h05m)": how a label follows a name, in report lines and in folder and playlist names.
QString withDuration(const QString& name, const QString& label);

// A path, name or message as a report line holds it: every character that ends a line for the
// reader becomes a visible symbol (LF, NEL, LS and PS U+2424, CR U+240D, VT U+240B, FF U+240C), so
// that no entry can end its line and forge the lines after it.
QString oneLine(QString text);

// Visits the lines of report text: split at LF, except that CR LF is one character and so never
// a split point. An empty text is one empty line.
template <class Visit> void forEachReportLine(QStringView text, Visit visit)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n') && (i == 0 || text[i - 1] != QLatin1Char('\r'))) {
            visit(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    visit(text.sliced(start));
}

// Whether the line begins with the prefix as whole characters: "Cartella " followed by a
// combining accent does not, because the space and the accent form one character.
bool startsWithWhole(QStringView line, QStringView prefix);

// The patterns by which lines and folder names are recognised, each compiled once, on first use,
// and shared by every thread. They match like the platform's line-oriented engines: "." and "$"
// treat CR, LF, CR LF, NEL, LS and PS as line ends, and \d and \s are Unicode-aware.

// "Gran totale (1h12m)" anywhere in a line; captures the label.
const QRegularExpression& grandTotalPattern();
// A whole "Totale cartella (0h13m)" line; captures the label.
const QRegularExpression& folderTotalPattern();
// A whole "name (0h13m)" line; captures the name (the longest possible) and the label.
const QRegularExpression& fileLinePattern();
// A " (1h12m)" suffix at the very end of a folder name, with the white space around it.
const QRegularExpression& durationSuffixPattern();

} // namespace quillmark
