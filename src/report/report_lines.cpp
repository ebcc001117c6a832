#include "report/report_lines.h"

#include <QTextBoundaryFinder>

namespace quillmark {

bool startsWithWhole(QStringView line, QLatin1String prefix)
{
    if (!line.startsWith(prefix))
        return false;
    if (line.size() == prefix.size() || line[prefix.size()].unicode() < 0x80)
        return true;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, line.data(), line.size());
    graphemes.setPosition(prefix.size());
    return graphemes.isAtBoundary();
}

} // namespace quillmark
