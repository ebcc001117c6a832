#include "app/status_text.h"

#include <QTextBoundaryFinder>

#include <vector>

namespace quillmark {

QString shortenedFromTheStart(const QString& text, qsizetype limit)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    std::vector<qsizetype> starts;
    for (qsizetype at = 0; at >= 0 && at < text.size(); at = graphemes.toNextBoundary())
        starts.push_back(at);
    const auto count = qsizetype(starts.size());
    if (count <= limit)
        return text;
    const qsizetype kept = limit - 3;
    return QStringLiteral("...") + text.sliced(starts[std::size_t(count - kept)]);
}

} // namespace quillmark
