#include "app/app_preferences.h"
#include "model/app_error.h"
#include "support/fake_provider.h"
#include "support/media_corpus.h"
#include "support/printers.h"
#include "support/thread_ends.h"
#include "support/view_model_fixture.h"

#include <QElapsedTimer>
#include <QTest>

#include <atomic>
#include <fstream>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <tuple>

namespace quillmark {
namespace {

using test::copyMedia;
using ViewModelTest = test::ViewModelFixture;

TEST_F(ViewModelTest, ChoosingAFolderRemembersItAndLoadsItsReport)
{
    auto& vm = start();
    const auto withReport = tree.folder("Con report");
    tree.file("Con report/durata.txt", "Gran totale (0h30m)\n");
    const auto without = tree.folder("Senza");

    desktop.folderAnswers = {std::nullopt};
    vm.chooseFolder();
    settle();
    EXPECT_EQ(vm.folderPath(), QStringLiteral("."));
    EXPECT_EQ(desktop.folderRequests.at(0).startFolder, tree.path("cwd"));

    desktop.folderAnswers = {withReport};
    vm.chooseFolder();
    settle();
    EXPECT_EQ(vm.folderPath(), text(withReport));
    EXPECT_EQ(settings.value(QStringLiteral("last_folder")).toString(), text(withReport));
    EXPECT_TRUE(vm.canLoadReport() && vm.canRenameFolder());

    desktop.folderAnswers = {without};
    vm.chooseFolder();
    settle();
    EXPECT_EQ(vm.folderPath(), text(without));
    EXPECT_FALSE(vm.canLoadReport() || vm.canRenameFolder() || vm.canCreatePlaylists());
    EXPECT_TRUE(vm.canSave()); // the old report is still there to save
}

// "~" stands for the home folder; a folder that is not there is an alert, not a run. (The
// message of each case is the folder check's, proved with the CLI.)
TEST_F(ViewModelTest, TheFolderIsCheckedBeforeARun)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", tree.root().c_str());
    tree.file("Film/a.mkv");
    auto& vm = start();
    vm.setFolderPath(QStringLiteral("~/Film"));
    calculate();
    qputenv("HOME", home);
    EXPECT_TRUE(
        vm.currentReport().startsWith(QStringLiteral("Cartella ") + text(tree.path("Film"))));

    vm.setFolderPath(text(tree.path("manca")));
    vm.calculate();
    expectAlert(QStringLiteral("Errore"), QStringLiteral("La cartella selezionata non esiste."));
    EXPECT_FALSE(vm.isRunning());
}

// Closing the window neither waits on measurements deaf to stop requests, as reads from a dead
// network mount are, nor starts the queued ones. The provider owns what it touches, since it
// outlives the view model.
TEST_F(ViewModelTest, ClosingTheWindowNeverWaitsOnAStuckMeasurement)
{
    for (int i = 0; i < 20; ++i)
        tree.file(std::string("v").append(std::to_string(i)).append(".mp4"));
    auto release = std::make_shared<std::promise<void>>();
    auto started = std::make_shared<std::atomic<int>>(0);
    test::ThreadEnds workers;
    ViewModelServices services = makeServices();
    services.makeDurationService = test::measuredBy(
        [released = release->get_future().share(), started, &workers](const auto&, auto) -> double {
            workers.note();
            ++*started;
            released.wait();
            return 1;
        });
    auto& vm = start(services);
    vm.setFolderPath(text(tree.root()));
    vm.calculate();
    ASSERT_TRUE(QTest::qWaitFor([&] { return *started == 2; }, 10000));
    QElapsedTimer timer;
    timer.start();
    model.reset();
    EXPECT_LT(timer.elapsed(), 3000);
    release->set_value();
    ASSERT_TRUE(QTest::qWaitFor([&] { return workers.count() == 2; }, 10000));
    EXPECT_EQ(*started, 2);
}

TEST_F(ViewModelTest, StoppingARunPutsBackWhatWasShownAndSavesNothing)
{
    tree.file("Film/a.mp4");
    tree.file("Film/durata.txt", "Gran totale (1h00m)\n");
    remember(tree.path("Film"));
    // Measurements wait for a stop request, as a slow share would keep them waiting.
    std::atomic<bool> slow = true;
    test::ThreadEnds workers;
    ViewModelServices services = makeServices();
    services.makeDurationService =
        test::measuredBy([&slow, &workers](const auto&, std::stop_token stop) {
            workers.note();
            while (slow && !stop.stop_requested())
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return 61.0;
        });
    auto& vm = start(services);
    const QString shown = vm.reportText();
    vm.calculate();
    ASSERT_TRUE(vm.isRunning());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !vm.progressDetail().isEmpty(); }));
    EXPECT_EQ(vm.progressDetail(), QStringLiteral("0 di 1 file · 0:00"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return workers.noted() == 1; }));
    vm.stop();
    EXPECT_TRUE(vm.progressDetail().isEmpty());
    EXPECT_EQ(vm.currentDurationLabel(), QStringLiteral("1h00m"));
    EXPECT_EQ(vm.statusMessage(),
              QStringLiteral("Calcolo interrotto: è mostrato il report precedente"));
    EXPECT_EQ(vm.statusKind(), StatusKind::note);
    EXPECT_EQ(vm.percent(), 0);
    // The stopped measurement returns late, and what it says changes nothing.
    ASSERT_TRUE(QTest::qWaitFor([&] { return workers.count() == 1; }, 10000));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(vm.reportText(), shown);

    slow = false;
    calculate();
    EXPECT_TRUE(vm.currentReport().contains(QStringLiteral("a.mp4 (0h01m)")));
}

// The recent folders are the last eight chosen, newest first, offered at once from memory; one
// that is not there now is greyed out when the look in the background says so, and offered again
// once it is back. (A folder named on the command line, dropped or picked from them is chosen as
// from the panel: `useFolder`.) A folder typed and measured joins them; one that is not there
// does not.
TEST_F(ViewModelTest, RecentFoldersAreTheLastEightGreyedWhenGone)
{
    auto& vm = start();
    for (int i = 0; i < 9; ++i) {
        vm.useFolder(tree.folder(std::string("F").append(std::to_string(i))));
        settle();
    }
    vm.useFolder(tree.path("F3"));
    std::filesystem::remove(tree.path("F5"));
    const auto shown = [&] {
        std::vector<std::pair<std::string, bool>> folders;
        for (const RecentFolder& recent : vm.recentFolders())
            folders.emplace_back(recent.folder.filename().native(), recent.reachable);
        return folders;
    };
    using Shown = std::vector<std::pair<std::string, bool>>;
    const Shown all{{"F3", true}, {"F8", true}, {"F7", true}, {"F6", true},
                    {"F5", true}, {"F4", true}, {"F2", true}, {"F1", true}};
    EXPECT_EQ(shown(), all);
    vm.checkRecentFolders();
    settle();
    Shown greyed = all;
    greyed[4].second = false;
    EXPECT_EQ(shown(), greyed);

    tree.folder("F5"); // back, like a share mounted again
    vm.checkRecentFolders();
    settle();
    EXPECT_EQ(shown(), all);

    // A folder typed and measured joins them and is the next start's; one named that is not
    // there is said so.
    tree.file("Digitata/a.mp4");
    vm.setFolderPath(text(tree.path("Digitata")));
    calculate();
    EXPECT_EQ(vm.recentFolders().front().folder, tree.path("Digitata"));
    EXPECT_EQ(start().folderPath(), text(tree.path("Digitata")));
    model->useFolder(tree.path("manca"));
    settle();
    EXPECT_EQ(model->statusMessage(), QStringLiteral("La cartella ") + text(tree.path("manca")) +
                                          QStringLiteral(" non esiste."));
    EXPECT_EQ(model->statusKind(), StatusKind::error);
    EXPECT_EQ(model->recentFolders().front().folder, tree.path("Digitata"));
    EXPECT_EQ(start().folderPath(), text(tree.path("Digitata")));
}

// At start-up a report that cannot be read is a status line; asked for, it is an alert. One that
// is not a regular file is refused at once, without a read that could block.
TEST_F(ViewModelTest, AReportThatCannotBeReadIsRefusedAtOnce)
{
    tree.folder("Fifo");
    ASSERT_EQ(::mkfifo(tree.path("Fifo/durata.txt").c_str(), 0600), 0);
    tree.file("Latin1/durata.txt", "Cartella /caff\xe8\n");
    for (const auto& [folder, reason] :
         {std::pair{
              "Fifo",
              "«durata.txt» non è un file normale ma una pipe (FIFO), quindi non viene letto."},
          std::pair{"Latin1", "Il file «durata.txt» non contiene testo UTF-8 valido."}}) {
        remember(tree.path(folder));
        auto& vm = start();
        EXPECT_EQ(vm.statusMessage(),
                  QStringLiteral("Impossibile leggere durata.txt: ") + QString::fromUtf8(reason));
        EXPECT_FALSE(vm.canCopy() || vm.alert());
        vm.loadReport();
        settle();
        expectAlert(QStringLiteral("Errore"),
                    QStringLiteral("Impossibile leggere il report: ") + QString::fromUtf8(reason));
    }
}

// A settings file that would block the start (a FIFO) or cost seconds and gigabytes (a huge one)
// is not read: the window starts with the defaults and says so. A relative ffprobe_path, which
// would run whatever "ffprobe" sits in the working folder, is not taken either, nor more recent
// folders than the app keeps.
TEST_F(ViewModelTest, SettingsThatWouldHangOrMisleadAreNotTaken)
{
    const auto fifo = tree.path("fifo.conf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto huge = tree.file("huge.conf", "[General]\nhide_empty_folders=false\n");
    std::filesystem::resize_file(huge, 2 * QSettingsStore::sizeLimit);
    for (const auto& file : {fifo, huge}) {
        auto opened = std::async(std::launch::async,
                                 [&] { return std::make_unique<QSettingsStore>(text(file)); });
        if (opened.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            std::ofstream(file) << ""; // lets the blocked reader go
            FAIL() << file << " blocked the start";
        }
        const auto store = opened.get();
        ViewModelServices services{*store, desktop};
        auto& vm = start(services);
        EXPECT_TRUE(vm.hideEmptyFolders());
        EXPECT_TRUE(
            vm.statusMessage().startsWith(QStringLiteral("Impostazioni non lette: ") + text(file)))
            << vm.statusMessage().toStdString();
        vm.setHideEmptyFolders(false); // kept for this run, the file left alone
        EXPECT_FALSE(vm.hideEmptyFolders());
        model.reset();
    }
    EXPECT_EQ(std::filesystem::file_size(huge), 2 * QSettingsStore::sizeLimit);

    std::vector<std::optional<std::filesystem::path>> configured;
    ViewModelServices services = makeServices();
    services.makeDurationService = [&](const std::optional<std::filesystem::path>& path) {
        configured.push_back(path);
        return VideoDurationService({std::make_shared<test::FakeProvider>(
            [](const auto&, auto) -> double { throw AppError::ffprobeNotFound(); })});
    };
    for (const char* path : {"ffprobe", "~/bin/ffprobe", "", "/opt/ff/ffprobe"}) {
        settings.setValue(QStringLiteral("ffprobe_path"), QString::fromUtf8(path));
        const QString status = start(services).statusMessage();
        EXPECT_EQ(status.contains(QStringLiteral("ffprobe_path ignorato: «%1»").arg(path)),
                  *path != '\0' && *path != '/')
            << path;
    }
    EXPECT_EQ(configured, (std::vector<std::optional<std::filesystem::path>>{
                              std::nullopt, std::nullopt, std::nullopt, "/opt/ff/ffprobe"}));

    // Twenty thousand recent folders would be as many checks and menu entries: the first eight
    // distinct ones are taken.
    QVariantList recent{QByteArray(), QByteArray("/r/0"), QByteArray("/r/0")};
    for (int i = 1; i < 20000; ++i)
        recent.append(QByteArray("/r/").append(QByteArray::number(i)));
    settings.setValue(QStringLiteral("recent_folders"), recent);
    std::vector<std::filesystem::path> shown;
    for (const RecentFolder& folder : start().recentFolders())
        shown.push_back(folder.folder);
    EXPECT_EQ(shown, (std::vector<std::filesystem::path>{"/r/0", "/r/1", "/r/2", "/r/3", "/r/4",
                                                         "/r/5", "/r/6", "/r/7"}));
}

} // namespace
} // namespace quillmark
