#include "app/app_preferences.h"
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
    preferences.rememberFolderToken(folder, makeFolderToken(folder));
    std::filesystem::rename(folder, tree.path("Film (1h00m)"));
    EXPECT_EQ(restoreFolder(preferences.lastFolder()), tree.path("Film (1h00m)"));

    std::filesystem::remove(tree.path("Film (1h00m)"));
    EXPECT_EQ(restoreFolder(preferences.lastFolder()), folder); // the stored path, though gone

    // A token comes too late for a folder that is no longer the last one; a folder that cannot
    // be examined leaves the older token in place.
    const QVariant token = store.value(QStringLiteral("last_folder_bookmark"));
    preferences.rememberFolder(tree.path("manca"));
    preferences.rememberFolderToken(folder, makeFolderToken(tree.folder("Altro")));
    preferences.rememberFolderToken(tree.path("manca"), makeFolderToken(tree.path("manca")));
    EXPECT_EQ(store.value(QStringLiteral("last_folder_bookmark")), token);
    EXPECT_EQ(store.value(QStringLiteral("last_folder")).toString(),
              QString::fromStdString(tree.path("manca").native()));
}

} // namespace
} // namespace quillmark
