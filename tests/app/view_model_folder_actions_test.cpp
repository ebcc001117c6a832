#include "support/printers.h"
#include "support/view_model_fixture.h"

namespace quillmark {
namespace {

class FolderActionsTest : public test::ViewModelFixture {
protected:
    // A view model on the folder, with a report whose grand total is 1h05m.
    DurationCalculatorViewModel& startOn(const std::string& folder,
                                         std::optional<ViewModelServices> services = {})
    {
        tree.file(folder + "/durata.txt", "Gran totale (1h05m)\n");
        remember(tree.path(folder));
        desktop.confirmAnswers = {true};
        return start(services);
    }

    void expectRefused(const std::string& folder, const QString& reason)
    {
        expectAlert(QStringLiteral("Errore"),
                    QStringLiteral("Impossibile rinominare la cartella: ") + reason);
        EXPECT_TRUE(std::filesystem::is_directory(tree.path(folder)));
        EXPECT_TRUE(desktop.confirmRequests.empty());
    }
};

TEST_F(FolderActionsTest, RenameOnlyTheFolderTheReportDescribes)
{
    tree.folder("B");
    auto& vm = startOn("A");
    vm.setFolderPath(text(tree.path("B")));
    vm.renameFolderWithDuration();
    settle();
    const QString another =
        QStringLiteral("il report riguarda un'altra cartella. Premi Calcola per aggiornarlo.");
    expectRefused("B", another);

    // A link to the folder is not the folder: renaming it would rename the link.
    tree.symlink("link-to-A", tree.path("A"));
    vm.setFolderPath(text(tree.path("link-to-A")));
    vm.renameFolderWithDuration();
    settle();
    expectRefused("link-to-A", another);

    // Another path to the same folder is the same folder.
    tree.symlink("link-to-root", tree.root());
    vm.setFolderPath(text(tree.path("link-to-root/A")));
    vm.renameFolderWithDuration();
    settle();
    EXPECT_TRUE(std::filesystem::is_directory(tree.path("A (1h05m)")));
}

TEST_F(FolderActionsTest, TheHomeFolderIsNeverRenamed)
{
    ViewModelServices services = makeServices();
    services.homeFolder = tree.path("home");
    startOn("home", services).renameFolderWithDuration();
    settle();
    settle();
    expectRefused("home",
                  QStringLiteral("è la tua cartella personale, che non viene mai rinominata."));
}

// Asked first, the folder gets its duration in place of an older one; the name need not be UTF-8.
TEST_F(FolderActionsTest, RenameGivesTheFolderItsDurationAndRemembersIt)
{
    auto& vm = startOn("Viaggi/Mar\xe9 (0h10m)");
    desktop.confirmAnswers = {false, true};
    vm.renameFolderWithDuration();
    settle();
    EXPECT_EQ(vm.statusMessage(), QStringLiteral("Rinomina annullata"));
    ASSERT_EQ(desktop.confirmRequests.size(), 1u);
    EXPECT_EQ(desktop.confirmRequests[0].message,
              QStringLiteral("Rinominare la cartella «Mar\uFFFD (0h10m)» in «Mar\uFFFD "
                             "(1h05m)»?\nIn: ") +
                  text(tree.path("Viaggi")));
    vm.renameFolderWithDuration();
    settle();
    const auto renamed = tree.path("Viaggi/Mar\xe9 (1h05m)");
    EXPECT_TRUE(std::filesystem::is_directory(renamed));
    EXPECT_EQ(vm.folderPath(), text(renamed));
    EXPECT_TRUE(vm.canLoadReport());

    vm.renameFolderWithDuration();
    settle();
    EXPECT_EQ(vm.statusMessage(),
              QStringLiteral("Il nome della cartella contiene già la durata aggiornata"));
    vm.clearOutput(); // no label, nothing to rename to
    vm.renameFolderWithDuration();
    settle();
    EXPECT_TRUE(std::filesystem::is_directory(renamed));

    // The next start finds the folder under its new name, by the stored token.
    settings.setValue(QStringLiteral("last_folder"), QStringLiteral("/altrove"));
    EXPECT_EQ(start().folderPath(), text(renamed));
}

TEST_F(FolderActionsTest, OpenFolderHandsTheExactPathToTheFileManager)
{
    tree.file("Film/a.mp4");
    auto& vm = start();
    vm.setFolderPath(text(tree.path("manca")));
    vm.openFolder();
    settle();
    expectAlert(QStringLiteral("Info"), QStringLiteral("Seleziona una cartella valida da aprire."));

    for (const char* path : {"Film", "Film/a.mp4"}) {
        vm.setFolderPath(text(tree.path(path)));
        vm.openFolder();
        settle();
        EXPECT_EQ(opened.back(), tree.path(path));
    }
    EXPECT_EQ(opened.size(), 2u);

    fileManagerOpens = false;
    vm.openFolder();
    settle();
    expectAlert(QStringLiteral("Errore"),
                QStringLiteral("Impossibile aprire la cartella: nessun gestore di file è "
                               "disponibile."));
}

// A row's file is played or shown in its folder, its folder opened, as the file system names
// them; one that is gone since the report is said to be, and nothing is started.
TEST_F(FolderActionsTest, RowsHandTheirPathsToTheDesktop)
{
    const auto file = tree.file("v/riga uno\nriga due.mp4");
    auto& vm = start();
    RowActions& rows = vm.rowActions();
    const QByteArray bytes = QByteArray::fromStdString(file.native());
    rows.play(bytes);
    rows.showInFolder(bytes);
    rows.openFolder(QByteArray::fromStdString(tree.path("v").native()));
    settle();
    EXPECT_EQ(played, std::vector{file});
    EXPECT_EQ(shownFiles, std::vector{file});
    EXPECT_EQ(opened, std::vector{tree.path("v")});

    rows.play(QByteArray::fromStdString(tree.path("v/manca.mp4").native()));
    settle();
    EXPECT_EQ(played.size(), 1u);
    EXPECT_EQ(vm.statusMessage(), text(tree.path("v/manca.mp4")) +
                                      QStringLiteral(" non c'è più: ricalcola per aggiornare il "
                                                     "report"));
    EXPECT_EQ(vm.statusKind(), StatusKind::error);

    rows.copyTotals(QStringLiteral("v"), QStringLiteral("v, 0h01m"));
    EXPECT_EQ(desktop.clipboard, QStringLiteral("v, 0h01m"));
    EXPECT_EQ(vm.statusMessage(), QStringLiteral("Totali di «v» copiati"));
}

} // namespace
} // namespace quillmark
