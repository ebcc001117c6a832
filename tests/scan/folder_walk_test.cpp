#include "scan/folder_walk.h"
#include "scan/natural_order.h"
#include "scan/selection_walk.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <random>
#include <sys/resource.h>

namespace quillmark {
namespace {

using test::TempTree;

// The walk as "folder: file file" lines relative to the root, which keeps expectations readable.
std::vector<std::string> describe(const std::vector<WalkedFolder>& walk, const TempTree& tree)
{
    std::vector<std::string> lines;
    WalkPaths paths(walk);
    for (std::size_t index = 0; index < walk.size(); ++index) {
        const std::filesystem::path folder = paths.folder(index);
        std::string line = folder.lexically_relative(tree.root()).native() + ":";
        for (const std::string& file : walk[index].files)
            line += " " + file;
        lines.push_back(line);
    }
    return lines;
}

// Pre-order, natural order, hidden entries included; a link is a file, never followed.
void makeTree(const TempTree& tree)
{
    for (const char* name : {"Episodio 10.mp4", "episodio 2.mp4", "Episodio 1.mp4", "_extra.mp4",
                             "A/y.mp4", "A/Sub/z.mp4", "Stagione 10/x.mp4", ".hidden/.clip.mp4"})
        tree.file(name);
    tree.folder("A/Empty");
    tree.folder("Stagione 9");
    tree.symlink("Links/Film.mp4", tree.path("A/y.mp4"));
    tree.symlink("Links/Loop", tree.root());
    tree.symlink("Links/Dangling.mkv", tree.path("missing"));
}

TEST(FolderWalkTest, EveryFolderBeforeItsSubfoldersInNaturalOrder)
{
    TempTree tree;
    makeTree(tree);
    EXPECT_EQ(describe(walkFolder(tree.root()), tree),
              (std::vector<std::string>{
                  ".: _extra.mp4 Episodio 1.mp4 episodio 2.mp4 Episodio 10.mp4",
                  ".hidden: .clip.mp4", "A: y.mp4", "A/Empty:", "A/Sub: z.mp4",
                  "Links: Dangling.mkv Film.mp4 Loop", "Stagione 9:", "Stagione 10: x.mp4"}));
}

// Depth costs no descriptors: with a handful left, a tree far deeper than that is still listed
// whole, also the folders met on the way back up ("x" after "d" at every level), for which the
// closed levels are opened again. A folder that cannot be opened for want of descriptors says so
// instead of passing for empty.
TEST(FolderWalkTest, DepthCostsNoDescriptors)
{
    TempTree tree;
    std::string path = "d";
    for (int depth = 0; depth < 150; ++depth, path += "/d") {
        tree.file(path + "/v.mp4");
        tree.file(path + "/x/w.mp4");
    }
    tree.file("e/v.mp4"); // after the way back up
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    // The limit is on descriptor numbers: the one that leaves exactly `spare` of them free.
    const auto leaving = [&](int spare) {
        rlim_t number = 0;
        for (; spare > 0; ++number)
            spare -= ::fcntl(int(number), F_GETFD) == -1 ? 1 : 0;
        return rlimit{number, limit.rlim_max};
    };
    const rlimit tight = leaving(6);
    const rlimit none = leaving(2);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &tight), 0);
    const auto walk = walkFolder(tree.root());
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    const auto starved = walkFolder(tree.root());
    ::setrlimit(RLIMIT_NOFILE, &limit);

    ASSERT_EQ(walk.size(), 302u);
    for (std::size_t index = 1; index < walk.size(); ++index) {
        EXPECT_EQ(walk[index].files.size(), 1u) << index;
        EXPECT_EQ(walk[index].listingError, 0) << index;
    }
    EXPECT_EQ(describe(walk, tree), describe(walkFolderInParallel(tree.root(), 4), tree));
    EXPECT_TRUE(std::any_of(starved.begin(), starved.end(), [](const WalkedFolder& folder) {
        return folder.listingError == EMFILE;
    }));
}

// On a share the folders of a level are listed at once; nothing else may differ. Trailing
// separators are dropped either way.
TEST(FolderWalkTest, TheParallelWalkIsTheSameWalk)
{
    TempTree tree;
    makeTree(tree);
    tree.file("A/Sub/Deep/er/w.mp4");
    tree.deepFile("Deep", "far.mp4");
    const auto walk = walkFolder(tree.root().native() + "//");
    EXPECT_EQ(walk[0].name, tree.root().native());
    for (const int listers : {1, 3, 16}) {
        const auto parallel = walkFolderInParallel(tree.root().native() + "/", listers);
        EXPECT_EQ(describe(parallel, tree), describe(walk, tree)) << listers;
    }
}

struct OrderCase {
    QLocale locale;
    std::vector<std::string> names;
    std::vector<std::string> expected;
};

class NaturalOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(NaturalOrderTest, SortsLikeAFileBrowserInEveryLocale)
{
    std::vector<std::string> names = GetParam().names;
    NaturalOrder(GetParam().locale).sort(names);
    EXPECT_EQ(names, GetParam().expected);
}

const std::vector<std::string> episodes{"Episodio 10.mp4", "episodio 2.mp4", "Episodio 1.mp4"};
const std::vector<std::string> episodesSorted{"Episodio 1.mp4", "episodio 2.mp4",
                                              "Episodio 10.mp4"};

INSTANTIATE_TEST_SUITE_P(
    Locales, NaturalOrderTest,
    ::testing::Values(
        OrderCase{QLocale::c(), episodes, episodesSorted},
        OrderCase{QLocale(QLocale::Italian, QLocale::Italy), episodes, episodesSorted},
        // Equal names keep their listing order.
        OrderCase{QLocale::c(), {"b", "A.mp4", "a.mp4", "B"}, {"A.mp4", "a.mp4", "b", "B"}},
        OrderCase{QLocale::c(), {"a.mp4", "A.mp4"}, {"a.mp4", "A.mp4"}},
        // Accented and non-ASCII names take the collator's own path.
        OrderCase{
            QLocale::c(), {"Città 10", "città 2", "Citta 3"}, {"città 2", "Citta 3", "Città 10"}},
        OrderCase{QLocale(QLocale::Swedish, QLocale::Sweden), {"ö", "z", "o"}, {"o", "z", "ö"}},
        OrderCase{
            QLocale::c(), {"x\xff 2", "x\xff 10", "x\xff 1"}, {"x\xff 1", "x\xff 2", "x\xff 10"}}));

TEST(NaturalOrderTest, FastPathAgreesWithTheCollatorOnRandomNames)
{
    std::mt19937 random(7);
    const std::string alphabet = "aAbB09 ._-()[]z12";
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Danish, QLocale::Denmark)}) {
        const NaturalOrder order(locale);
        std::vector<std::string> names;
        for (int i = 0; i < 400; ++i) {
            std::string name;
            for (int n = 1 + int(random() % 8); n > 0; --n)
                name += alphabet[random() % alphabet.size()];
            names.push_back(name);
        }
        std::vector<std::string> collated = names;
        std::stable_sort(collated.begin(), collated.end(), [&](const auto& a, const auto& b) {
            return order.compare(QString::fromStdString(a), QString::fromStdString(b)) < 0;
        });
        order.sort(names);
        EXPECT_EQ(names, collated) << locale.name().toStdString();
    }
}

} // namespace
} // namespace quillmark

namespace quillmark {
namespace {

// A selection reads as a walk: folders with their trees, files grouped by their folder, in
// natural order; what lies in a selected folder, or is named twice, counts once.
TEST(SelectionWalkTest, GroupsFilesByFolderAndWalksFolders)
{
    const TempTree tree;
    for (const char* name : {"Serie/Episodio 10.mp4", "Serie/Episodio 2.mp4", "Serie/note.txt",
                             "Film/A/a.mp4", "Film/A/Sub/b.mp4", "Film/c.mp4", "Altro/d.mp4"})
        tree.file(name);
    tree.symlink("Link", tree.path("Film"));
    const auto at = [&tree](const char* name) { return tree.path(name); };
    struct Case {
        const char* name;
        std::vector<std::filesystem::path> selection;
        std::vector<std::string> walk;
    };
    const std::vector<Case> cases{
        {"files of one folder, in natural order",
         {at("Serie/Episodio 10.mp4"), at("Serie/note.txt"), at("Serie/Episodio 2.mp4")},
         {"Serie: Episodio 2.mp4 Episodio 10.mp4 note.txt"}},
        {"a folder and files elsewhere",
         {at("Serie/Episodio 2.mp4"), at("Film/A"), at("Altro/d.mp4")},
         {"Altro: d.mp4", "Film/A: a.mp4", "Film/A/Sub: b.mp4", "Serie: Episodio 2.mp4"}},
        {"entries inside a selected folder, and repeats, once",
         {at("Film/A/Sub/b.mp4"), at("Film"), at("Film/A"), at("Film/c.mp4"), at("Film/")},
         {"Film: c.mp4", "Film/A: a.mp4", "Film/A/Sub: b.mp4"}},
        {"a link to a folder is a file of its folder", {at("Link")}, {".: Link"}},
        {"one folder is its walk",
         {at("Film")},
         {"Film: c.mp4", "Film/A: a.mp4", "Film/A/Sub: b.mp4"}},
    };
    for (const Case& item : cases) {
        SCOPED_TRACE(item.name);
        const SelectionWalk walk = walkSelection(item.selection);
        EXPECT_EQ(describe(walk.folders, tree), item.walk);
        EXPECT_TRUE(walk.missing.empty());
    }
    EXPECT_EQ(walkSelection({at("Film")}).folders.size(), walkFolder(at("Film")).size());
    const SelectionWalk gone = walkSelection({at("Film/c.mp4"), at("Film/via.mp4")});
    EXPECT_EQ(gone.missing, std::vector{at("Film/via.mp4")});
    // Told apart by the listing: the regular file is measured without a stat of its path.
    EXPECT_TRUE(listedAsRegular(gone.folders.front(), "c.mp4"));
}

} // namespace
} // namespace quillmark
