#pragma once

#include <QLatin1String>
#include <QStringView>

namespace quillmark {

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
bool startsWithWhole(QStringView line, QLatin1String prefix);

// "Cartella ", which opens a folder block.
inline constexpr QLatin1String folderHeaderStart("Cartella ");

} // namespace quillmark
