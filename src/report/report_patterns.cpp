#include "report/report_patterns.h"

namespace quillmark {

namespace {

QRegularExpression compiled(const char* pattern)
{
    // (*ANY) makes every Unicode line end a line end, as the reports' reference engine does.
    QRegularExpression expression(QLatin1String("(*ANY)") + QLatin1String(pattern),
                                  QRegularExpression::UseUnicodePropertiesOption);
    expression.optimize();
    Q_ASSERT(expression.isValid());
    return expression;
}

} // namespace

const QRegularExpression& grandTotalPattern()
{
    static const QRegularExpression pattern = compiled(R"(Gran totale \((\d+h\d{2}m)\))");
    return pattern;
}

const QRegularExpression& folderTotalPattern()
{
    static const QRegularExpression pattern = compiled(R"(^Totale cartella \((\d+h\d{2}m)\)$)");
    return pattern;
}

const QRegularExpression& fileLinePattern()
{
    static const QRegularExpression pattern = compiled(R"(^(.+) \((\d+h\d{2}m)\)$)");
    return pattern;
}

const QRegularExpression& durationSuffixPattern()
{
    static const QRegularExpression pattern = compiled(R"(\s*\(\d+h\d{2}m\)\s*$)");
    return pattern;
}

} // namespace quillmark
