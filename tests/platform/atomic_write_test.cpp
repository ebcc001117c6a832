#include "platform/atomic_file.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

} // namespace
} // namespace quillmark
