#include "app/app_preferences.h"
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

} // namespace
} // namespace quillmark
