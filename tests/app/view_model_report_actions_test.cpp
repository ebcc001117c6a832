#include "support/printers.h"
#include "support/view_model_fixture.h"

namespace quillmark {
namespace {

const std::string report =
    "Cartella /v\nà.mp4 (0h10m)\nTotale cartella (0h10m)\n\nGran totale (0h10m)\n";

class ReportActionsTest : public test::ViewModelFixture {
protected:
    // A view model on folder Film whose durata.txt holds the report.
    DurationCalculatorViewModel& startWithReport()
    {
        tree.file("Film/durata.txt", report);
        AppPreferences(settings).rememberFolder(tree.path("Film"));
        return start();
    }
};

TEST_F(ReportActionsTest, SaveAndCopyTakeTheReportByteForByte)
{
    auto& vm = startWithReport();
    vm.copyReport();
    EXPECT_EQ(desktop.clipboard, QStringList{QString::fromStdString(report)});

    tree.folder("Altrove");
    desktop.saveAnswers = {tree.path("Altrove/copia.txt"), tree.path("Film/durata.txt")};
    vm.saveReport();
    EXPECT_EQ(desktop.saveRequests, QStringList{QStringLiteral("Salva report|durata.txt")});
    EXPECT_EQ(test::contents(tree.path("Altrove/copia.txt")), report);

    // Choosing the folder again once its report is gone: saving it back there makes it loadable.
    std::filesystem::remove(tree.path("Film/durata.txt"));
    desktop.folderAnswers = {tree.path("Film")};
    vm.chooseFolder();
    EXPECT_FALSE(vm.canLoadReport());
    vm.saveReport();
    EXPECT_TRUE(vm.canLoadReport());
    EXPECT_EQ(test::contents(tree.path("Film/durata.txt")), report);
}

// Every refusal is an alert and leaves the report, the status and the disk as they were.
TEST_F(ReportActionsTest, RefusalsAreAlertsThatChangeNothing)
{
    using ViewModel = DurationCalculatorViewModel;
    struct Case {
        void (ViewModel::*action)();
        const char* saveTo; // the save panel's answer
        const char* title;
        const char* message;
    };
    const std::vector<Case> withReport{
        {&ViewModel::saveReport, "manca/durata.txt", "Errore",
         "Impossibile salvare il file: No such file or directory"},
        {&ViewModel::saveReport, "Film", "Errore", "Impossibile salvare il file: Is a directory"},
    };
    const std::vector<Case> withoutReport{
        {&ViewModel::copyReport, nullptr, "Info", "Non c'è nessun report da copiare."},
        {&ViewModel::saveReport, nullptr, "Info",
         "Non c'è nessun report da salvare. Esegui prima il calcolo."},
    };
    auto& vm = startWithReport();
    for (const auto* cases : {&withReport, &withoutReport}) {
        const QString status = vm.statusMessage();
        for (const Case& c : *cases) {
            const QString before = vm.currentReport();
            if (c.saveTo)
                desktop.saveAnswers = {tree.path(c.saveTo)};
            (vm.*c.action)();
            expectAlert(c.title, c.message);
            EXPECT_EQ(vm.currentReport(), before);
        }
        EXPECT_EQ(vm.statusMessage(), status);
        vm.clearOutput();
    }
    EXPECT_TRUE(desktop.clipboard.isEmpty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree.path("Film")), {}), 1);
}

TEST_F(ReportActionsTest, LoadReadsTheFoldersReportAgain)
{
    auto& vm = startWithReport();
    vm.clearOutput();
    EXPECT_TRUE(vm.canLoadReport());
    tree.file("Film/durata.txt",
              "Cartella /v\nx (0h01m)\nTotale cartella (0h01m)\n\nGran totale (1h05m)\n");
    vm.loadReport();
    EXPECT_EQ(vm.currentDurationLabel(), QStringLiteral("1h05m")); // as written, not recomputed
    EXPECT_TRUE(vm.canSave() && vm.canCopy() && vm.canRenameFolder());
    EXPECT_EQ(vm.statusMessage(),
              QStringLiteral("Caricato: ") + text(tree.path("Film/durata.txt")));

    std::filesystem::remove(tree.path("Film/durata.txt"));
    vm.loadReport();
    EXPECT_FALSE(vm.alert().has_value());
}

} // namespace
} // namespace quillmark
