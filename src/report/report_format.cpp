#include "report/report_format.h"

#include "model/duration_label.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace quillmark {

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

QRegularExpression compiled(const QString& pattern)
{
    // (*ANY) makes every Unicode line end a line end, as the reports' reference engine does.
    QRegularExpression expression(QLatin1String("(*ANY)") + pattern,
                                  QRegularExpression::UseUnicodePropertiesOption);
    expression.optimize();
    Q_ASSERT(expression.isValid());
    return expression;
}

// "Keyword (label)" with the label captured, as a pattern.
QString keywordWithLabel(QLatin1String keyword)
{
    return QRegularExpression::escape(keyword) + QStringLiteral(" \\((%1)\\)").arg(labelPattern);
}

} // namespace

QString withDuration(const QString& name, const QString& label)
{
    return name + QLatin1String(" (") + label + QLatin1Char(')');
}

QString oneLine(QString text)
{
    // Copied only when something changes: nearly every name has nothing to replace.
    const auto first =
        std::find_if(text.cbegin(), text.cend(), [](QChar c) { return visibleInOneLine(c) != c; });
    for (qsizetype i = first - text.cbegin(); i < text.size(); ++i)
        text[i] = visibleInOneLine(text[i]);
    return text;
}

bool startsWithWhole(QStringView line, QStringView prefix)
{
    if (!line.startsWith(prefix))
        return false;
    if (line.size() == prefix.size() || line[prefix.size()].unicode() < 0x80)
        return true;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, line.data(), line.size());
    graphemes.setPosition(prefix.size());
    return graphemes.isAtBoundary();
}

const QRegularExpression& grandTotalPattern()
{
    static const QRegularExpression pattern = compiled(keywordWithLabel(grandTotalKeyword));
    return pattern;
}

const QRegularExpression& folderTotalPattern()
{
    static const QRegularExpression pattern =
        compiled(QLatin1Char('^') + keywordWithLabel(folderTotalKeyword) + QLatin1Char('$'));
    return pattern;
}

const QRegularExpression& fileLinePattern()
{
    static const QRegularExpression pattern =
        compiled(QStringLiteral("^(.+) \\((%1)\\)$").arg(labelPattern));
    return pattern;
}

const QRegularExpression& durationSuffixPattern()
{
    static const QRegularExpression pattern =
        compiled(QStringLiteral("\\s*\\(%1\\)\\s*$").arg(labelPattern));
    return pattern;
}

} // namespace quillmark
