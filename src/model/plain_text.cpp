#include "model/plain_text.h"

#include <QTextBoundaryFinder>

#include <vector>

namespace quillmark {

namespace {

bool isHorizontalSpace(QChar c)
{
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

} // namespace

QStringView trimmedHorizontally(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isHorizontalSpace(text[begin]))
        ++begin;
    while (end > begin && isHorizontalSpace(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QString shortenedFromTheStart(const QString& text, qsizetype limit)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    std::vector<qsizetype> starts;
    for (qsizetype at = 0; at >= 0 && at < text.size(); at = graphemes.toNextBoundary())
        starts.push_back(at);
    const auto count = qsizetype(starts.size());
    if (count <= limit)
        return text;
    if (limit <= 3)
        return QStringLiteral("...").left(limit);
    const qsizetype kept = limit - 3;
    return QStringLiteral("...") + text.sliced(starts[std::size_t(count - kept)]);
}

} // namespace quillmark
