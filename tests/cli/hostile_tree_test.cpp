// A tree built to hurt: entries that block or never end, names that forge report lines, a path
// deeper than PATH_MAX, a crafted negative duration. The calculation must finish, list every
// video, explain every special entry and give true totals.
#include "folder_actions/playlist_generator.h"
#include "platform/atomic_file.h"
#include "platform/child_process.h"
#include "platform/text_file.h"
#include "report/report_reader.h"
#include "scan/extensions.h"
#include "support/media_corpus.h"
#include "support/temp_tree.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillmark {
namespace {

using test::contents;
using test::mediaCorpus;
using test::TempTree;

// A Matroska file whose header claims minus one hour.
std::string negativeDurationMkv()
{
    std::string bytes = contents(mediaCorpus() / "clip.mkv");
    const std::size_t duration = bytes.find("\x44\x89\x88");
    EXPECT_NE(duration, std::string::npos);
    const double minusOneHour = -3600.0;
    std::uint64_t bits = 0;
    std::memcpy(&bits, &minusOneHour, sizeof bits);
    for (int i = 0; i < 8; ++i)
        bytes[duration + 3 + std::size_t(i)] = char(bits >> (56 - 8 * i)); // big-endian
    return bytes;
}

void makeSocket(const std::filesystem::path& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.native().size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

TEST(HostileTreeTest, EveryVideoListedEverySpecialEntryExplainedTotalsTrue)
{
    const TempTree tree;
    const std::string video = contents(mediaCorpus() / "minute.mov"); // 61.5 s
    const std::string forged =
        "x\nTotale cartella (99h00m)\n\nGran totale (999h00m)\nCartella y.mp4";
    const std::string longName(244, 'n');
    tree.file("Film/" + forged, video);
    tree.file("Film/b\rc.mov", video);
    tree.file("Film/stampe/Cartella stampa.mov", video);
    tree.file("Film/" + longName + "/e.mov", video);
    const std::string deep = tree.deepFile("Film", "deep.mov", video);
    tree.file("Film/neg.mkv", negativeDurationMkv());
    ASSERT_EQ(::mkfifo(tree.path("Film/fifo.mp4").c_str(), 0600), 0);
    tree.symlink("Film/link-fifo.mkv", tree.path("Film/fifo.mp4"));
    tree.symlink("Film/zero.avi", "/dev/zero");
    makeSocket(tree.path("Film/sock.mp4"));

    QProcess cli;
    cli.start(QStringLiteral(QUILLMARK_REPORT_EXE),
              {QStringLiteral("--no-cache"), QString::fromStdString(tree.path("Film").native())});
    ASSERT_TRUE(cli.waitForFinished(30000)) << "the calculation hung";
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const QString report = QString::fromUtf8(cli.readAllStandardOutput());

    // Five videos of 61 whole seconds; the forged lines stay inside one file's line.
    const ReadReport read = readReport(report);
    EXPECT_EQ(read.grandTotalLabel, QStringLiteral("0h05m"));
    ASSERT_FALSE(read.summary.folders.isEmpty());
    EXPECT_EQ(read.summary.folders[0].fileCount(), 7);
    EXPECT_EQ(read.summary.folders[0].totalLabel, QStringLiteral("0h02m"));
    EXPECT_TRUE(report.contains(QStringLiteral("Cartella ") +
                                QString::fromStdString(deep.substr(0, deep.rfind('/'))) +
                                QStringLiteral("\ndeep.mov (0h01m)\n")));
    for (const char* explained :
         {"fifo.mp4: «fifo.mp4» non è un file normale ma una pipe (FIFO)",
          "link-fifo.mkv: «link-fifo.mkv» non è un file normale ma una pipe (FIFO)",
          "zero.avi: «zero.avi» non è un file normale ma un dispositivo a caratteri",
          "sock.mp4: «sock.mp4» non è un file normale ma un socket",
          "neg.mkv: Formato non supportato da libavformat: neg.mkv — fallback: ffprobe non è "
          "riuscito ad analizzare neg.mkv: durata non disponibile"})
        EXPECT_TRUE(report.contains(QString::fromUtf8(explained))) << explained;

    // A name as long as a name can be still gets its report and its playlist.
    const std::filesystem::path saved = tree.path("Film/" + longName.substr(4) + ".txt");
    writeFileAtomically(saved, report.toUtf8());
    EXPECT_EQ(readUtf8File(saved), report);
    const auto playlists =
        planPlaylists(walkFolder(tree.path("Film")), defaultExtensions(), tree.path("Film"), {});
    ASSERT_EQ(playlists.size(), 4u);
    for (const PlannedPlaylist& planned : playlists)
        writePlaylist(planned);
    const std::string playlist = contents(playlists[0].file);
    EXPECT_NE(playlist.find("\nfile://" + tree.path("Film").native() +
                            "/x%0ATotale%20cartella%20%2899h00m%29%0A%0AGran"),
              std::string::npos);
    EXPECT_EQ(std::count(playlist.begin(), playlist.end(), '\n'), 1 + 7);
    EXPECT_TRUE(std::filesystem::exists(tree.path("Film/" + longName + ".m3u")));
}

// Files that are not what their names say and would have a measurer open other files: a
// concatenation script and playlists that lead to a FIFO or to a film outside the chosen folder.
// Each fails at once, with its reason, and nothing outside the folder is measured.
TEST(HostileTreeTest, ContainersThatReachBeyondThemselvesFailAtOnce)
{
    const TempTree tree;
    tree.file("film.mp4", contents(mediaCorpus() / "minute.mov"));
    tree.file("Film/x/concat.mp4", "ffconcat version 1.0\nfile seg.ts\n");
    ASSERT_EQ(::mkfifo(tree.path("Film/x/seg.ts").c_str(), 0600), 0);
    const std::string playlist = "#EXTM3U\n#EXT-X-TARGETDURATION:70\n#EXTINF:61.5,\n";
    tree.file("Film/x/hls.mp4", playlist + "../../film.mp4\n#EXT-X-ENDLIST\n");
    tree.file("Film/x/hls-fifo.mkv", playlist + "seg.ts\n#EXT-X-ENDLIST\n");

    QProcess cli;
    cli.start(QStringLiteral(QUILLMARK_REPORT_EXE),
              {QStringLiteral("--no-cache"), QString::fromStdString(tree.path("Film").native())});
    ASSERT_TRUE(cli.waitForFinished(60000)) << "the calculation hung";
    const QString report = QString::fromUtf8(cli.readAllStandardOutput());
    const ReadReport read = readReport(report);
    ASSERT_EQ(read.summary.folders.size(), 1) << report.toStdString();
    const FolderRow& folder = read.summary.folders[0];
    ASSERT_EQ(folder.fileCount(), 3);
    for (qsizetype file = 0; file < folder.fileCount(); ++file)
        EXPECT_TRUE(folder.fileHasError(file)) << folder.file(file).name.toStdString();
    EXPECT_EQ(read.grandTotalLabel, QStringLiteral("0h00m"));
}

// Out of descriptors, a folder that cannot be listed is named in an error line and never passes
// for empty; a chosen folder that cannot be opened is an error (exit 2), not a zero total.
TEST(HostileTreeTest, FoldersThatCannotBeListedForWantOfDescriptorsSaySo)
{
#ifdef __SANITIZE_ADDRESS__
    // UBSan's type checks open a pipe to probe memory: out of descriptors they report errors of
    // their own.
    GTEST_SKIP() << "out of descriptors, the sanitizers' own checks fail";
#endif
    const TempTree tree;
    std::vector<std::string> videos;
    std::string path = "Film";
    for (int depth = 1; depth <= 30; ++depth) {
        path += "/d";
        if (depth % 6 == 0) {
            videos.push_back(path + "/v" + std::to_string(depth) + ".mov");
            tree.file(videos.back(), contents(mediaCorpus() / "minute.mov"));
        }
    }
    for (int limit = 5; limit <= 12; ++limit) {
        const ChildOutput run = runChildProcess(
            "/bin/sh",
            {"-c", "ulimit -n " + std::to_string(limit) + " && exec \"$0\" --no-cache \"$1\"",
             QUILLMARK_REPORT_EXE, tree.path("Film").native()});
        if (run.exitStatus == 2) {
            EXPECT_TRUE(run.standardError.contains("Impossibile leggere la cartella")) << limit;
            continue;
        }
        ASSERT_EQ(run.exitStatus, 0) << limit << run.standardError.toStdString();
        const std::string report = run.standardOutput.toStdString();
        for (const std::string& video : videos) {
            bool accounted =
                report.find(video.substr(video.rfind('/') + 1) + " (") != std::string::npos;
            for (std::size_t cut = video.rfind('/'); !accounted && cut != std::string::npos;
                 cut = cut == 0 ? std::string::npos : video.rfind('/', cut - 1))
                accounted =
                    report.find("Errore con file " + tree.path(video.substr(0, cut)).native() +
                                ": cartella non leggibile") != std::string::npos;
            EXPECT_TRUE(accounted) << limit << " " << video << "\n" << report;
        }
    }
}

} // namespace
} // namespace quillmark
