#include "support/fake_provider.h"
#include "support/printers.h"
#include "support/view_model_fixture.h"

namespace quillmark {
namespace {

struct JobCase {
    const char* name;
    // Starts the job (and whatever overtakes it) on a view model on folder "v".
    std::function<void(DurationCalculatorViewModel&, test::ViewModelFixture&)> act;
    StatusKind kind;
    const char* status; // how the final status begins
};

class JobsTest : public test::ViewModelFixture, public ::testing::WithParamInterface<JobCase> {};

// Whatever a job meets (it ends, fails, is stopped, or the window moves on to another report or
// folder meanwhile), it ends in a final status and holds the window no longer.
TEST_P(JobsTest, EveryJobEndsInAFinalStatusAndHoldsNothing)
{
    tree.file("v/a.mp4");
    tree.file("v/durata.txt", "Cartella /v\na.mp4 (0h01m)\nTotale cartella (0h01m)\n\n"
                              "Gran totale (0h01m)\n");
    tree.file("bad/durata.txt", "\xff\xfe not text\n");
    tree.folder("bad2/durata.txt");
    ViewModelServices services = makeServices();
    services.makeDurationService = test::measuredBy([](const auto&, auto) { return 61.0; });
    auto& vm = start(services);
    vm.useFolder(tree.path("v"));
    settle();
    GetParam().act(vm, *this);
    settle();
    EXPECT_FALSE(vm.isBusy());
    EXPECT_EQ(vm.statusKind(), GetParam().kind) << vm.statusMessage().toStdString();
    EXPECT_TRUE(vm.statusMessage().startsWith(QString::fromUtf8(GetParam().status)))
        << vm.statusMessage().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Jobs, JobsTest,
    ::testing::Values(JobCase{"load", [](auto& vm, auto&) { vm.loadReport(); }, StatusKind::done,
                              "Caricato: "},
                      JobCase{"load_of_text_that_is_not_UTF8",
                              [](auto& vm, auto& t) {
                                  vm.useFolder(t.tree.path("bad"));
                                  t.settle();
                                  vm.loadReport();
                              },
                              StatusKind::error, "Report non caricato"},
                      JobCase{"load_of_a_folder_named_durata_txt",
                              [](auto& vm, auto& t) {
                                  vm.useFolder(t.tree.path("bad2"));
                                  t.settle();
                                  vm.loadReport();
                              },
                              StatusKind::error, "Report non caricato"},
                      JobCase{"load_overtaken_by_another_folder",
                              [](auto& vm, auto& t) {
                                  vm.loadReport();
                                  vm.setFolderPath(t.text(t.tree.path("bad")));
                              },
                              StatusKind::done, "Caricato: "},
                      JobCase{"folder_look_overtaken_by_another_folder",
                              [](auto& vm, auto& t) {
                                  vm.useFolder(t.tree.path("bad"));
                                  vm.useFolder(t.tree.path("v"));
                              },
                              StatusKind::done, "Caricato: "},
                      JobCase{"save",
                              [](auto& vm, auto& t) {
                                  t.desktop.saveAnswers = {t.tree.path("copia.txt")};
                                  vm.saveReport();
                              },
                              StatusKind::done, "Salvato: "},
                      JobCase{"save_that_fails",
                              [](auto& vm, auto& t) {
                                  t.desktop.saveAnswers = {t.tree.path("manca/copia.txt")};
                                  vm.saveReport();
                              },
                              StatusKind::done, "Caricato: "},
                      JobCase{"save_overtaken_by_another_folder",
                              [](auto& vm, auto& t) {
                                  t.desktop.saveAnswers = {t.tree.path("copia.csv")};
                                  vm.exportCsv();
                                  vm.setFolderPath(t.text(t.tree.path("bad")));
                              },
                              StatusKind::done, "Esportato: "},
                      JobCase{"rename_refused",
                              [](auto& vm, auto& t) {
                                  vm.setFolderPath(t.text(t.tree.path("bad")));
                                  vm.renameFolderWithDuration();
                              },
                              StatusKind::done, "Caricato: "},
                      JobCase{"rename_cancelled",
                              [](auto& vm, auto& t) {
                                  t.calculate();
                                  vm.renameFolderWithDuration();
                              },
                              StatusKind::note, "Rinomina annullata"},
                      JobCase{"rename",
                              [](auto& vm, auto& t) {
                                  t.calculate();
                                  t.desktop.confirmAnswers = {true};
                                  vm.renameFolderWithDuration();
                              },
                              StatusKind::done, "Cartella rinominata in "},
                      JobCase{"playlists", [](auto& vm, auto&) { vm.createPlaylists(); },
                              StatusKind::done, "Generate 1 playlist in "},
                      JobCase{"playlists_stopped",
                              [](auto& vm, auto&) {
                                  vm.createPlaylists();
                                  vm.stop();
                              },
                              StatusKind::note, "Creazione delle playlist interrotta"},
                      JobCase{"calculation", [](auto&, auto& t) { t.calculate(); },
                              StatusKind::done, "Completato"},
                      JobCase{"calculation_stopped",
                              [](auto& vm, auto&) {
                                  vm.calculate();
                                  vm.stop();
                              },
                              StatusKind::note, "Calcolo interrotto"},
                      JobCase{"calculation_of_a_folder_that_went",
                              [](auto& vm, auto& t) {
                                  vm.setFolderPath(t.text(t.tree.path("manca")));
                                  vm.calculate();
                              },
                              StatusKind::done, "Caricato: "}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quillmark
