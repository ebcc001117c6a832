#include "folder_actions/playlist_generator.h"
#include "report/report_format.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

using test::contents;
using test::TempTree;

const QStringList videos{QStringLiteral(".mp4"), QStringLiteral(".mkv")};

std::vector<PlannedPlaylist> generatePlaylists(const std::vector<WalkedFolder>& folders,
                                               const QStringList& extensions,
                                               const std::filesystem::path& destination,
                                               const FolderDurationLabels& labels)
{
    auto playlists = planPlaylists(folders, extensions, destination, labels);
    for (const PlannedPlaylist& playlist : playlists)
        writePlaylist(playlist);
    return playlists;
}

std::vector<std::string> names(const std::vector<PlannedPlaylist>& playlists)
{
    std::vector<std::string> result;
    for (const PlannedPlaylist& playlist : playlists)
        result.push_back(playlist.file.filename().native());
    return result;
}

TEST(PlaylistGeneratorTest, OnePlaylistPerFolderWithItsMatchingFiles)
{
    const TempTree tree;
    tree.file("Mare/a.MP4");
    tree.file("Mare/b.txt");
    tree.file("Mare/c");
    tree.file("Mare/d.mkv");
    tree.file("Vuota/note.txt");
    const auto playlists = generatePlaylists(walkFolder(tree.root()), videos, tree.root(), {});
    ASSERT_EQ(names(playlists), std::vector<std::string>{"Mare.m3u"});
    EXPECT_EQ(playlists[0].fileCount, 2);
    EXPECT_EQ(playlists[0].sourceFolderPath, QString::fromStdString(tree.path("Mare").native()));
    EXPECT_EQ(contents(tree.path("Mare.m3u")), "#EXTM3U\n" + tree.path("Mare/a.MP4").native() +
                                                   "\n" + tree.path("Mare/d.mkv").native() + "\n");
}

TEST(PlaylistGeneratorTest, NamesCarryTheDurationAndAreUniqueWhateverTheCase)
{
    const TempTree tree;
    for (const char* file :
         {"A/Viaggi/1.mp4", "B/Viaggi/2.mp4", "C/Mare (0h45m)/3.mp4", "D/viaggi/4.mp4",
          "E/Viaggi/5.mp4", "F/Niente/6.txt", "G/Niente/7.mp4", "H/a\nb/8.mp4"})
        tree.file(file);
    tree.folder("out");
    FolderDurationLabels labels;
    // A report holds a line break in a path as the writer put it.
    for (const char* folder : {"A/Viaggi", "B/Viaggi", "C/Mare (0h45m)", "H/a\nb"})
        labels.insert(oneLine(QString::fromStdString(tree.path(folder).native())),
                      QStringLiteral("1h00m"));
    const auto playlists =
        generatePlaylists(walkFolder(tree.root()), videos, tree.path("out"), labels);
    EXPECT_EQ(names(playlists),
              (std::vector<std::string>{"Viaggi (1h00m).m3u", "Viaggi (1h00m) (2).m3u",
                                        "Mare (1h00m).m3u", "viaggi.m3u", "Viaggi (2).m3u",
                                        "Niente.m3u", "a\nb (1h00m).m3u"}));
}

TEST(PlaylistGeneratorTest, NamesWithoutTextOfTheirOwnStayInTheDestination)
{
    const TempTree tree;
    tree.file("X/(0h10m)/a.mp4");
    FolderDurationLabels labels{
        {QString::fromStdString(tree.path("X/(0h10m)").native()), QStringLiteral("0h10m")}};
    EXPECT_EQ(names(generatePlaylists(walkFolder(tree.path("X")), videos, tree.root(), labels)),
              std::vector<std::string>{" (0h10m).m3u"});
    EXPECT_EQ(
        names(generatePlaylists({WalkedFolder{"/", 0, {"a.mp4"}, {}}}, videos, tree.root(), {})),
        std::vector<std::string>{"playlist.m3u"});
}

} // namespace
} // namespace quillmark
