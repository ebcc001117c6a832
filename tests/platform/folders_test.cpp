#include "platform/folder_token.h"
#include "platform/move_without_replacing.h"
#include "platform/regular_file.h"
#include "support/printers.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <system_error>

namespace quillmark {
namespace {

using test::TempTree;

// Both ways of moving: the kernel's no-replace flag, and the fallback for file systems without it.
class MoveTest : public ::testing::TestWithParam<bool> {
protected:
    std::error_code move(const std::filesystem::path& from, const std::filesystem::path& to) const
    {
        try {
            (GetParam() ? moveWithoutReplacingFallback : moveWithoutReplacing)(from, to);
        } catch (const std::system_error& error) {
            return error.code();
        }
        return {};
    }
};

TEST_P(MoveTest, MovesToAFreeNameAndNeverReplacesAnything)
{
    const TempTree tree;
    tree.file("Viaggi/alba.mp4", "x");
    tree.file("a.txt", "a");
    tree.folder("Vuota");
    tree.file("occupato", "z");
    for (const char* from : {"Viaggi", "a.txt"}) {
        for (const char* taken : {"Vuota", "occupato"})
            EXPECT_EQ(move(tree.path(from), tree.path(taken)), std::errc::file_exists) << taken;
    }
    EXPECT_TRUE(std::filesystem::is_empty(tree.path("Vuota")));
    EXPECT_EQ(std::filesystem::file_size(tree.path("occupato")), 1u);
    EXPECT_EQ(move(tree.path("manca"), tree.path("altro")), std::errc::no_such_file_or_directory);

    EXPECT_EQ(move(tree.path("Viaggi"), tree.path("Viaggi (1h12m)")), std::error_code());
    EXPECT_EQ(move(tree.path("a.txt"), tree.path("a (1).txt")), std::error_code());
    EXPECT_TRUE(std::filesystem::exists(tree.path("Viaggi (1h12m)/alba.mp4")));
    EXPECT_TRUE(std::filesystem::exists(tree.path("a (1).txt")));
    EXPECT_FALSE(std::filesystem::exists(tree.path("Viaggi")));
}

INSTANTIATE_TEST_SUITE_P(Ways, MoveTest, ::testing::Values(false, true), [](const auto& info) {
    return info.param ? "Fallback" : "NoReplaceFlag";
});

// Found after a rename in place by the folder actions' test; here, what finds nothing.
TEST(FolderTokenTest, FindsNothingForAFolderGoneOrATokenOfNoFolder)
{
    const TempTree tree;
    const auto folder = tree.folder("caff\xe8");
    const QByteArray token = makeFolderToken(folder);
    std::filesystem::remove(folder);
    EXPECT_FALSE(resolveFolderToken(token).has_value());
    EXPECT_FALSE(resolveFolderToken("rubbish").has_value());
    EXPECT_TRUE(makeFolderToken(tree.path("manca")).isEmpty());
}

// A file is opened for reading whatever its listing said; anything else is refused without
// being read, and a device without being opened, also when a link has taken the listed file's
// place since.
TEST(OpenRegularFileTest, OpensOnlyRegularFiles)
{
    const TempTree tree;
    const auto film = tree.file("film.mp4", "film");
    const auto fifo = tree.path("fifo.mp4");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    tree.symlink("link.mp4", film);
    tree.symlink("zero.mp4", "/dev/zero");
    tree.symlink("pipe.mp4", fifo);
    for (const bool listedRegular : {true, false}) {
        for (const auto& [name, opens] :
             std::vector<std::pair<const char*, bool>>{{"film.mp4", true},
                                                       {"link.mp4", true},
                                                       {"fifo.mp4", false},
                                                       {"zero.mp4", false},
                                                       {"pipe.mp4", false}}) {
            try {
                const OpenFile opened = openRegularFile(tree.path(name), listedRegular);
                EXPECT_TRUE(opens) << name;
                EXPECT_EQ(opened.info.st_size, 4);
            } catch (const NotRegularFileError&) {
                EXPECT_FALSE(opens) << name << " " << listedRegular;
            }
        }
    }
}

} // namespace
} // namespace quillmark
