#include "model/app_error.h"
#include "support/fake_provider.h"
#include "support/printers.h"
#include "support/view_model_fixture.h"

#include <set>
#include <sys/stat.h>

namespace quillmark {
namespace {

using ReportActionsTest = test::ViewModelFixture;

// A selection from a file manager is measured as chosen; its report is no folder's durata.txt,
// renames no folder and writes no playlists; choosing a folder ends it.
TEST_F(ReportActionsTest, ASelectionIsMeasuredButActsOnNoFolder)
{
    for (const char* name : {"Film/a.mp4", "Film/b.mp4", "Film/Extra/c.mp4", "Serie/d.mp4"})
        tree.file(name);
    ViewModelServices services = makeServices();
    services.makeDurationService =
        test::measuredBy([](const std::filesystem::path&, auto) { return 600.0; });
    auto& vm = start(services);
    vm.useSelection({tree.path("Film/a.mp4"), tree.path("Film/Extra"), tree.path("Serie/d.mp4")});
    EXPECT_EQ(vm.folderPath(), text(tree.root()));
    calculate();
    EXPECT_EQ(vm.grandTotalSeconds(), 1800);
    EXPECT_EQ(vm.reportSummary().folders.size(), 3);
    EXPECT_FALSE(vm.canRenameFolder());
    EXPECT_FALSE(vm.canCreatePlaylists());
    desktop.saveAnswers.push_back(std::nullopt);
    vm.saveReport();
    ASSERT_EQ(desktop.suggestedSaves.size(), 1u);
    EXPECT_EQ(desktop.suggestedSaves.back().filename(), "durata della selezione.txt");

    vm.setFolderPath(text(tree.path("Film")));
    EXPECT_TRUE(vm.selection().empty());
    calculate();
    EXPECT_EQ(vm.grandTotalSeconds(), 1800);
    EXPECT_TRUE(vm.canRenameFolder());
    EXPECT_TRUE(vm.canCreatePlaylists());
}

// Whatever the names hold (the report's keywords, every character some reader takes for a line
// end, bytes that are not UTF-8, parentheses, colons), a saved report loads back as the rows,
// labels and errors the calculation showed, and gives its playlists the same names.
TEST_F(ReportActionsTest, ASavedReportLoadsBackAsTheCalculationShowedIt)
{
    const std::vector<std::string> names{"Cartella stampa.mp4",
                                         "Totale cartella (0h05m).mp4",
                                         "Errore con file x: y.mp4",
                                         "Gran totale (9h00m).mp4",
                                         "in Cartella mezzo.mp4",
                                         "alla fine Gran totale.mp4",
                                         "x: y (1h00m).mp4",
                                         "riga\nCartella /forgiata.mp4",
                                         "ritorno\r.mp4",
                                         "a\xe2\x80\xa8"
                                         "b.mp4",
                                         "caff\xe8.mp4",
                                         "(2019) (0h01m).mp4",
                                         "rotto: a.mp4",
                                         "\xef\xbb\xbf"
                                         "bom.mp4",
                                         "\t\v\f\xc2\x85\xe2\x80\xa9\xef\xbf\xbd \xe6\x97\xa5.mp4"};
    for (const std::string folder :
         {"v", "v/Cartella x", "v/Gran totale (1h00m)", "v/a\nb", "v/caff\xe8", "v/S/Stagione 1",
          "v/x\r\n\xc2\x85\xe2\x80\xa9\v\fGran totale (2h00m)\nCartella /y"}) {
        for (const std::string& name : names)
            tree.file(folder + "/" + name);
    }
    ASSERT_EQ(::mkfifo(tree.path("v/S/pipe: Totale cartella (0h01m).mkv").c_str(), 0600), 0);
    ViewModelServices services = makeServices();
    services.makeDurationService = test::measuredBy([](const std::filesystem::path& file, auto) {
        const std::string name = file.filename().native();
        if (name.find(": ") != std::string::npos)
            throw AppError::unsupportedFormat(file);
        return double(name.size() * 97 + file.native().size());
    });
    auto& vm = start(services);
    vm.setFolderPath(text(tree.path("v")));
    calculate();
    const ReportSummary calculated = vm.reportSummary();
    const auto label = vm.currentDurationLabel();
    vm.createPlaylists();
    settle();
    const auto playlists = [&] {
        std::set<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(tree.path("v"))) {
            if (entry.path().extension() == ".m3u") {
                files.insert(entry.path().filename().native());
                std::filesystem::remove(entry.path());
            }
        }
        return files;
    };
    const std::set<std::string> calculatedPlaylists = playlists();

    desktop.saveAnswers = {tree.path("v/durata.txt")};
    vm.saveReport();
    settle();
    vm.clearOutput();
    vm.loadReport();
    settle();
    EXPECT_EQ(vm.reportSummary().folders, calculated.folders);
    EXPECT_EQ(vm.reportSummary().grandTotalLabel, calculated.grandTotalLabel);
    EXPECT_EQ(vm.currentDurationLabel(), label);
    vm.createPlaylists();
    settle();
    EXPECT_EQ(playlists(), calculatedPlaylists);
    EXPECT_EQ(calculated.totalFileCount(), 7 * 15 + 1);
}

} // namespace
} // namespace quillmark
