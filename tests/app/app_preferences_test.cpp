#include "app/app_preferences.h"
#include "model/plain_text.h"
#include "platform/folder_token.h"
#include "platform/qsettings_store.h"
#include "support/printers.h"
#include "support/temp_tree.h"

#include <QDir>

#include <gtest/gtest.h>

namespace quillmark {
namespace {

using test::TempTree;

TEST(AppPreferencesTest, TokenFallsBackToTheStoredPath)
{
    const TempTree tree;
    QSettingsStore store(QString::fromStdString(tree.path("q.conf").native()));
    AppPreferences preferences(store);
    const auto folder = tree.folder("Film");
    preferences.rememberFolder(folder);
    EXPECT_EQ(preferences.restoredFolder(), folder);

    std::filesystem::remove(folder);
    EXPECT_EQ(preferences.restoredFolder(), folder); // the stored path, although it is gone

    // A folder that cannot be examined leaves the older token in place.
    const QVariant token = store.value(QStringLiteral("last_folder_bookmark"));
    preferences.rememberFolder(tree.path("manca"));
    EXPECT_EQ(store.value(QStringLiteral("last_folder_bookmark")), token);
    EXPECT_EQ(store.value(QStringLiteral("last_folder")).toString(),
              QString::fromStdString(tree.path("manca").native()));
}

TEST(FolderTokenTest, FindsTheFolderAfterARenameInPlaceButNotAnotherOne)
{
    const TempTree tree;
    const auto folder = tree.folder("caff\xe8");
    const QByteArray token = makeFolderToken(folder);
    std::filesystem::rename(folder, tree.path("Caffè (1h00m)"));
    EXPECT_EQ(resolveFolderToken(token), tree.path("Caffè (1h00m)"));

    std::filesystem::remove(tree.path("Caffè (1h00m)"));
    EXPECT_FALSE(resolveFolderToken(token).has_value());
    EXPECT_FALSE(resolveFolderToken("rubbish").has_value());
    EXPECT_TRUE(makeFolderToken(tree.path("manca")).isEmpty());
}

struct ShortenCase {
    QString text;
    QString expected;
};

TEST(StatusTextTest, KeepsTheEndOfLongPathsByCharacters)
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
