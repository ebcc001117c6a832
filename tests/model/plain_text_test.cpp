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

} // namespace
} // namespace quillmark
