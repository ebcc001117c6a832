#include "model/plain_text.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

struct ShortenCase {
    QString text;
    QString expected;
};

TEST(PlainTextTest, KeepsTheEndOfLongPathsByCharacters)
{
    const QString ninety = QString(89, QLatin1Char('a')) + QStringLiteral("é");
    const QString emoji = QStringLiteral("👨‍👩‍👧");
    const std::vector<ShortenCase> cases{
        {ninety, ninety},
        {QLatin1Char('x') + ninety, QStringLiteral("...") + ninety.right(87)},
        {emoji.repeated(91), QStringLiteral("...") + emoji.repeated(87)},
        {QString(), QString()},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(shortenedFromTheStart(text, 90), expected);
}

TEST(PlainTextTest, LongLinesOfAMessageLoseTheirMiddle)
{
    const QString path = QStringLiteral("/a").repeated(100);
    const QString emoji = QStringLiteral("👨‍👩‍👧");
    const std::vector<ShortenCase> cases{
        {QStringLiteral("La cartella %1 non esiste.").arg(path),
         QStringLiteral("La cartella /a/a/a/…/a/a/a/a non esiste.")},
        {QStringLiteral("breve\n") + emoji.repeated(41) + QStringLiteral("\nbreve"),
         QStringLiteral("breve\n") + emoji.repeated(19) + QStringLiteral("…") + emoji.repeated(20) +
             QStringLiteral("\nbreve")},
        {QString(40, QLatin1Char('x')), QString(40, QLatin1Char('x'))},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(shortenedInTheMiddle(text, 40), expected);
}

} // namespace
} // namespace quillmark
