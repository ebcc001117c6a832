#include "support/printers.h"
#include "support/view_model_fixture.h"

#include <fstream>

namespace quillmark {
namespace {

class ReportActionsTest : public test::ViewModelFixture {
protected:
    // A view model on folder Film whose durata.txt holds the given report.
    DurationCalculatorViewModel& startWithReport(const std::string& report)
    {
        tree.file("Film/durata.txt", report);
        AppPreferences(settings()).rememberFolder(tree.path("Film"));
        return start();
    }

    std::string contents(const std::filesystem::path& file) const
    {
        std::ifstream in(file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), {});
    }
};

const std::string report =
    "Cartella /v\nà.mp4 (0h10m)\nTotale cartella (0h10m)\n\nGran totale (0h10m)\n";

TEST_F(ReportActionsTest, SaveWritesTheReportByteForByte)
{
    auto& vm = startWithReport(report);
    tree.folder("Altrove");
    desktop.saveAnswers = {tree.path("Altrove/copia.txt"), tree.path("Film/durata.txt")};
    vm.saveReport();
    ASSERT_FALSE(vm.alert().has_value());
    EXPECT_EQ(desktop.saveRequests, QStringList{QStringLiteral("Salva report|durata.txt")});
    EXPECT_EQ(contents(tree.path("Altrove/copia.txt")), report);
    EXPECT_EQ(vm.statusMessage(),
              QStringLiteral("Salvato: ") + text(tree.path("Altrove/copia.txt")));

    // Choosing the folder again once its report is gone: saving it back there makes it loadable.
    std::filesystem::remove(tree.path("Film/durata.txt"));
    desktop.folderAnswers = {tree.path("Film")};
    vm.chooseFolder();
    EXPECT_FALSE(vm.canLoadReport());
    vm.saveReport();
    EXPECT_TRUE(vm.canLoadReport());
    EXPECT_EQ(contents(tree.path("Film/durata.txt")), report);
}

TEST_F(ReportActionsTest, SaveFailuresAreAlertedAndChangeNothing)
{
    auto& vm = startWithReport(report);
    const QString status = vm.statusMessage();
    desktop.saveAnswers = {std::nullopt, tree.path("manca/durata.txt"), tree.path("Film")};
    vm.saveReport();
    EXPECT_FALSE(vm.alert().has_value());
    vm.saveReport();
    ASSERT_TRUE(vm.alert().has_value());
    EXPECT_EQ(vm.alert()->title, QStringLiteral("Errore"));
    EXPECT_EQ(vm.alert()->message,
              QStringLiteral("Impossibile salvare il file: No such file or directory"));
    vm.saveReport();
    EXPECT_EQ(vm.alert()->message, QStringLiteral("Impossibile salvare il file: Is a directory"));
    EXPECT_EQ(vm.statusMessage(), status);
    EXPECT_FALSE(std::filesystem::exists(tree.path("manca")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree.path("Film")), {}),
              1); // no leftovers
}

TEST_F(ReportActionsTest, CopyPutsTheReportOnTheClipboard)
{
    auto& vm = startWithReport(report);
    vm.copyReport();
    EXPECT_EQ(desktop.clipboard, QStringList{QString::fromStdString(report)});
    EXPECT_EQ(vm.statusMessage(), QStringLiteral("Report copiato negli appunti"));

    vm.clearOutput();
    vm.copyReport();
    ASSERT_TRUE(vm.alert().has_value());
    EXPECT_EQ(vm.alert()->title, QStringLiteral("Info"));
    EXPECT_EQ(vm.alert()->message, QStringLiteral("Non c'è nessun report da copiare."));
    vm.saveReport();
    EXPECT_EQ(vm.alert()->message,
              QStringLiteral("Non c'è nessun report da salvare. Esegui prima il calcolo."));
    EXPECT_EQ(desktop.clipboard.size(), 1);
    EXPECT_TRUE(desktop.saveRequests.isEmpty());
}

TEST_F(ReportActionsTest, TwoEqualAlertsAreTwoAlerts)
{
    auto& vm = start();
    vm.copyReport();
    const auto first = vm.alert();
    vm.copyReport();
    ASSERT_TRUE(first && vm.alert());
    EXPECT_NE(first->id, vm.alert()->id);
    vm.setAlert(std::nullopt);
    EXPECT_FALSE(vm.alert().has_value());
}

TEST_F(ReportActionsTest, LoadReadsTheFoldersReportAgain)
{
    auto& vm = startWithReport(report);
    vm.clearOutput();
    tree.file("Film/durata.txt",
              "Cartella /v\nx (0h01m)\nTotale cartella (0h01m)\n\nGran totale (1h05m)\n");
    vm.loadReport();
    EXPECT_EQ(vm.currentDurationLabel(), QStringLiteral("1h05m")); // as written, not recomputed
    EXPECT_EQ(vm.reportSummary().folders.size(), 1);
    EXPECT_TRUE(vm.canSave() && vm.canCopy() && vm.canRenameFolder() && vm.canCreatePlaylists());
    EXPECT_EQ(vm.statusMessage(),
              QStringLiteral("Caricato: ") + text(tree.path("Film/durata.txt")));

    tree.file("Film/durata.txt", "Cartella /caff\xe8\n");
    vm.loadReport();
    ASSERT_TRUE(vm.alert().has_value());
    EXPECT_EQ(vm.alert()->message, QStringLiteral("Impossibile leggere il report: Il file "
                                                  "«durata.txt» non contiene testo UTF-8 valido."));
    EXPECT_EQ(vm.currentDurationLabel(), QStringLiteral("1h05m"));

    std::filesystem::remove(tree.path("Film/durata.txt"));
    vm.setAlert(std::nullopt);
    vm.loadReport();
    EXPECT_FALSE(vm.alert().has_value());
}

TEST_F(ReportActionsTest, ClearGoesBackToTheEmptyState)
{
    auto& vm = startWithReport(report);
    vm.clearOutput();
    EXPECT_TRUE(vm.currentReport().isEmpty());
    EXPECT_FALSE(vm.currentDurationLabel().has_value());
    EXPECT_EQ(vm.reportText(), QStringLiteral("Output pulito. Pronto per una nuova analisi.\n"));
    EXPECT_TRUE(vm.reportSummary().folders.isEmpty());
    EXPECT_FALSE(vm.canSave() || vm.canCopy() || vm.canRenameFolder() || vm.canCreatePlaylists());
    EXPECT_TRUE(vm.canLoadReport());
    EXPECT_EQ(vm.statusMessage(), QStringLiteral("Pronto"));
    EXPECT_EQ(vm.percent(), 0);
    EXPECT_EQ(vm.folderPath(), text(tree.path("Film")));
}

} // namespace
} // namespace quillmark
