#include "model/plain_text.h"

#include <QStringList>
#include <QTextBoundaryFinder>

#include <vector>

namespace quillmark {

namespace {

bool isHorizontalSpace(QChar c)
{
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

// Where each user-perceived character of a text starts.
std::vector<qsizetype> graphemeStarts(const QString& text)
{
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    std::vector<qsizetype> starts;
    for (qsizetype at = 0; at >= 0 && at < text.size(); at = graphemes.toNextBoundary())
        starts.push_back(at);
    return starts;
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
    const std::vector<qsizetype> starts = graphemeStarts(text);
    const auto count = qsizetype(starts.size());
    if (count <= limit)
        return text;
    if (limit <= 3)
        return QStringLiteral("...").left(limit);
    const qsizetype kept = limit - 3;
    return QStringLiteral("...") + text.sliced(starts[std::size_t(count - kept)]);
}

QString shortenedInTheMiddle(const QString& text, qsizetype limit)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        const std::vector<qsizetype> starts = graphemeStarts(line);
        const auto count = qsizetype(starts.size());
        if (count <= limit || limit < 3)
            continue;
        const qsizetype head = (limit - 1) / 2;
        const qsizetype tail = limit - 1 - head;
        line = line.first(starts[std::size_t(head)]) + QStringLiteral("…") +
               line.sliced(starts[std::size_t(count - tail)]);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace quillmark
