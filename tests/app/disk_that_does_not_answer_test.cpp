#include "support/mounted_share.h"
#include "support/printers.h"
#include "support/view_model_fixture.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace quillmark {
namespace {

// The window's thread runs a queued event within the time: it is not held by the disk.
bool answersWithin(std::chrono::milliseconds limit)
{
    bool handled = false;
    QTimer::singleShot(0, [&] { handled = true; });
    return QTest::qWaitFor([&] { return handled; }, int(limit.count()));
}

class DiskThatDoesNotAnswerTest : public test::ViewModelFixture {};

// Each playlist's writes wait 40 ms a request on the share: the window answers meanwhile, and
// Interrompi leaves every playlist either complete or absent, and no temporary file.
TEST_F(DiskThatDoesNotAnswerTest, PlaylistsOnASlowShareLeaveTheWindowFreeAndStopCleanly)
{
    for (int folder = 0; folder < 12; ++folder)
        tree.file("src/Stagione " + std::to_string(folder) + "/e.mp4");
    const test::MountedShare share(tree.path("src"), tree.folder("share"), "0", "40");
    QUILLMARK_REQUIRE_MOUNT(share);
    auto& vm = start();
    vm.setFolderPath(text(tree.path("share")));
    vm.setExtensionsText(QStringLiteral("mp4"));
    vm.createPlaylists();
    EXPECT_TRUE(vm.isBusy() && vm.canStop());
    EXPECT_TRUE(answersWithin(std::chrono::milliseconds(100)));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return vm.statusMessage().contains(QStringLiteral(" di 12 playlist")); }, 10000));
    vm.stop();
    EXPECT_FALSE(vm.isBusy());
    settle();
    EXPECT_TRUE(vm.statusMessage().startsWith(
        QStringLiteral("Creazione delle playlist interrotta: generate ")));

    int written = 0;
    for (const auto& entry : std::filesystem::directory_iterator(tree.path("src"))) {
        const std::string name = entry.path().filename().native();
        if (entry.is_directory())
            continue;
        ASSERT_TRUE(name.ends_with(".m3u")) << name; // no temporary file
        EXPECT_EQ(test::contents(entry.path()),
                  "#EXTM3U\n" + tree.path("share/" + name.substr(0, name.size() - 4)).native() +
                      "/e.mp4\n");
        ++written;
    }
    EXPECT_GT(written, 0);
    EXPECT_LT(written, 12);
}

// Writes that never return: Interrompi frees the window at once, though the write waits on.
TEST_F(DiskThatDoesNotAnswerTest, PlaylistsOnADeadShareCanBeLeftBehind)
{
    tree.file("src/Film/a.mp4");
    const test::MountedShare share(tree.path("src"), tree.folder("share"), "0", "never");
    QUILLMARK_REQUIRE_MOUNT(share);
    auto& vm = start();
    vm.setFolderPath(text(tree.path("share")));
    vm.createPlaylists();
    EXPECT_TRUE(answersWithin(std::chrono::milliseconds(100)));
    QTest::qWait(200);
    EXPECT_TRUE(vm.canStop());
    vm.stop();
    EXPECT_FALSE(vm.isBusy());
    EXPECT_EQ(vm.statusMessage(), QStringLiteral("Creazione delle playlist interrotta"));
}

// A walk down a slow share (each request and each stat waits 60 ms) says what it found so far
// and the time gone, so that a slow share looks slow, not stuck.
TEST_F(DiskThatDoesNotAnswerTest, AWalkOnASlowShareSaysWhatItFoundSoFar)
{
    std::string level = "src";
    for (int depth = 0; depth < 40; ++depth) {
        level += "/L";
        tree.file(level + "/e.mp4");
    }
    const test::MountedShare share(tree.path("src"), tree.folder("share"), "60", "",
                                   {"--stat-ms", "60"});
    QUILLMARK_REQUIRE_MOUNT(share);
    auto& vm = start();
    vm.setFolderPath(text(tree.path("share")));
    vm.calculate();
    const QRegularExpression walking(
        QStringLiteral("^([0-9]+) cartelle · ([0-9]+) video trovati · 0:0[1-9]$"));
    QRegularExpressionMatch found;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (found = walking.match(vm.progressDetail())).hasMatch(); }, 8000))
        << vm.progressDetail().toStdString();
    EXPECT_GT(found.captured(1).toInt(), 0);
    EXPECT_TRUE(answersWithin(std::chrono::milliseconds(100)));
    vm.stop();
    EXPECT_EQ(vm.progressDetail(), QString());
}

// The restored folder is on a share that never answers: the window starts, answers, takes
// another folder and closes at once.
TEST_F(DiskThatDoesNotAnswerTest, StartUpOnADeadShare)
{
    tree.file("Altrove/durata.txt", "Gran totale (0h10m)\n");
    tree.file("src/durata.txt", "Gran totale (9h00m)\n");
    const test::MountedShare share(tree.path("src"), tree.folder("share"), "never");
    QUILLMARK_REQUIRE_MOUNT(share);
    // The path only: a token would be made by examining the folder.
    AppPreferences(settings).rememberFolder(tree.path("share"));

    QElapsedTimer clock;
    clock.start();
    model = std::make_unique<DurationCalculatorViewModel>(makeServices());
    auto& vm = *model;
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(vm.folderPath(), text(tree.path("share")));
    EXPECT_TRUE(answersWithin(std::chrono::milliseconds(100)));

    vm.useFolder(tree.path("Altrove"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return vm.canCopy(); }, 5000));
    EXPECT_EQ(vm.currentDurationLabel(), QStringLiteral("0h10m"));
    EXPECT_EQ(vm.folderPath(), text(tree.path("Altrove")));

    clock.restart();
    model->finishBackgroundWork(std::chrono::milliseconds(500));
    model.reset();
    EXPECT_LT(clock.elapsed(), 2000);
}

} // namespace
} // namespace quillmark
