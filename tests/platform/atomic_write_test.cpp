#include "platform/atomic_file.h"
#include "platform/move_without_replacing.h"
#include "support/mounted_share.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <future>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quillmark {
namespace {

using test::contents;
using test::TempTree;

mode_t modeOf(const std::filesystem::path& file)
{
    struct stat info {};
    EXPECT_EQ(::lstat(file.c_str(), &info), 0);
    return info.st_mode;
}

TEST(AtomicWriteTest, TheTemporaryFileOfAKilledWriteIsRemovedByTheNextOne)
{
    const TempTree tree;
    const auto stray = tree.file(".quillmark.tmp", "half a report");
    writeFileAtomically(tree.path("durata.txt"), "Gran totale (0h01m)\n");
    EXPECT_FALSE(std::filesystem::exists(stray));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree.root()), {}), 1);

    // One that is still being written is left alone, and this write takes another name.
    tree.file(".quillmark.tmp", "in progress");
    const int writer = ::open(stray.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);
    writeFileAtomically(tree.path("durata.txt"), "Gran totale (0h02m)\n");
    EXPECT_EQ(contents(stray), "in progress");
    EXPECT_EQ(contents(tree.path("durata.txt")), "Gran totale (0h02m)\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree.root()), {}), 2);
    ::close(writer);
}

TEST(AtomicWriteTest, NeverCarriesSetIdBitsNorFollowsALinkForTheMode)
{
    const TempTree tree;
    const auto program = tree.file("program", "binary");
    ASSERT_EQ(::chmod(program.c_str(), 04755), 0);
    writeFileAtomically(program, "replaced");
    EXPECT_EQ(modeOf(program) & 07777, 0755u);

    ASSERT_EQ(::chmod(program.c_str(), 04755), 0);
    const auto playlist = tree.symlink("Film.m3u", program);
    writeFileAtomically(playlist, "#EXTM3U\n");
    EXPECT_TRUE(S_ISREG(modeOf(playlist)));
    EXPECT_EQ(modeOf(playlist) & 07000, 0u);
    EXPECT_EQ(contents(program), "replaced");
    EXPECT_EQ(modeOf(program) & 07777, 04755u);

    // Another user's report in a folder all may write to lends the new file nothing.
    const auto stranger = tree.file("durata.txt", "theirs");
    ASSERT_EQ(::chmod(stranger.c_str(), 04777), 0);
    if (::chown(stranger.c_str(), ::geteuid() + 1, ::getegid()) != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    const mode_t mask = ::umask(022);
    writeFileAtomically(stranger, "mine");
    ::umask(mask);
    EXPECT_EQ(modeOf(stranger) & 07777, 0644u);
}

// A private report is never readable by others while it is rewritten: the temporary file is
// private before its first byte. (On a share whose writes wait, the file is seen as it is made.)
TEST(AtomicWriteTest, APrivateReportStaysPrivateWhileItIsRewritten)
{
    const TempTree tree;
    const auto report = tree.file("src/durata.txt", "Gran totale (0h01m)\n");
    ASSERT_EQ(::chmod(report.c_str(), 0600), 0);
    const test::MountedShare share(tree.path("src"), tree.folder("share"), "0", "300");
    QUILLMARK_REQUIRE_MOUNT(share);
    auto written = std::async(std::launch::async, [&] {
        writeFileAtomically(tree.path("share/durata.txt"), QByteArray(1 << 20, 'x'));
    });
    const auto temporary = tree.path("src/.quillmark.tmp");
    mode_t seen = 0;
    for (int wait = 0; wait < 400 && seen == 0; ++wait) {
        struct stat info {};
        if (::lstat(temporary.c_str(), &info) == 0)
            seen = info.st_mode;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    written.get();
    EXPECT_NE(seen, 0u);
    EXPECT_EQ(seen & 077, 0u);
    EXPECT_EQ(modeOf(report) & 0777, 0600u);
}

// After a power cut a rename into a folder may be undone unless the folder is synced: each write
// syncs it, and so does each move.
TEST(AtomicWriteTest, TheFolderIsSyncedAfterTheRename)
{
    const TempTree tree;
    tree.folder("src/Viaggi");
    const auto log = tree.path("fsyncs");
    const test::MountedShare share(tree.path("src"), tree.folder("share"), "0", "0",
                                   {"--log", log.native()});
    QUILLMARK_REQUIRE_MOUNT(share);
    writeFileAtomically(tree.path("share/durata.txt"), "Gran totale (0h01m)\n");
    EXPECT_EQ(test::contents(log), "fsyncdir /\n");
    moveWithoutReplacing(tree.path("share/Viaggi"), tree.path("share/Viaggi (0h01m)"));
    EXPECT_EQ(test::contents(log), "fsyncdir /\nfsyncdir /\n");
}

// Where the share refuses the no-replace flag (NFS, sshfs), a move killed between claiming the new
// name and moving onto it leaves an empty folder there, which the next move takes back; an empty
// folder the user made is never taken for it.
TEST(AtomicWriteTest, AMoveKilledOnAShareWithoutNoReplaceIsTakenBackByTheNext)
{
    const TempTree tree;
    tree.file("src/Viaggi/a.mp4");
    tree.folder("src/Mare");
    tree.folder("src/Mare (0h02m)");
    const test::MountedShare share(tree.path("src"), tree.folder("share"), "0", "300",
                                   {"--refuse-noreplace"});
    QUILLMARK_REQUIRE_MOUNT(share);
    const auto viaggi = tree.path("share/Viaggi");
    const auto renamed = tree.path("share/Viaggi (1h12m)");
    const pid_t mover = ::fork();
    if (mover == 0) {
        try {
            moveWithoutReplacing(viaggi, renamed);
        } catch (...) {
        }
        ::_exit(0);
    }
    // Killed as soon as the name is claimed: every later step of its waits on the share.
    for (int wait = 0; wait < 400 && !std::filesystem::exists(tree.path("src/Viaggi (1h12m)"));
         ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(mover, SIGKILL);
    ::waitpid(mover, nullptr, 0);
    ASSERT_TRUE(std::filesystem::is_empty(tree.path("src/Viaggi (1h12m)")));
    ASSERT_TRUE(std::filesystem::exists(tree.path("src/Viaggi/a.mp4")));

    moveWithoutReplacing(viaggi, renamed);
    EXPECT_TRUE(std::filesystem::exists(tree.path("src/Viaggi (1h12m)/a.mp4")));
    EXPECT_FALSE(std::filesystem::exists(viaggi));
    try {
        moveWithoutReplacing(tree.path("share/Mare"), tree.path("share/Mare (0h02m)"));
        ADD_FAILURE() << "an empty folder of the user's was replaced";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::errc::file_exists);
    }
    EXPECT_TRUE(std::filesystem::exists(tree.path("src/Mare")));
}

} // namespace
} // namespace quillmark
