#include "platform/child_process.h"
#include "support/media_corpus.h"
#include "support/temp_tree.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstring>
#include <regex>
#include <sys/stat.h>

namespace quillmark {
namespace {

using test::contents;
using test::copyMedia;
using test::TempTree;

// The programs keep their cache of durations under $XDG_CACHE_HOME: these tests give them one of
// their own instead of the user's.
const QTemporaryDir cacheHome;
const bool cacheHomeSet = qputenv("XDG_CACHE_HOME", cacheHome.path().toUtf8());
// The programs speak English only to an English system; these tests read their Italian.
const bool italian = qputenv("LC_ALL", "C.UTF-8") && qunsetenv("LANGUAGE");

ChildOutput report(const std::vector<std::string>& arguments)
{
    return runChildProcess(QUILLMARK_REPORT_EXE, arguments);
}

TEST(QuillmarkReportTest, PrintsTheReportTextByteForByte)
{
    const TempTree tree;
    copyMedia("minute.mov", tree.path("Viaggi/Mare/onde.mov"));
    copyMedia("index-at-start.mp4", tree.path("Viaggi/alba.mp4"));
    copyMedia("clip.avi", tree.path("Viaggi/caf\xe9/notte.avi"));
    tree.file("Viaggi/note.txt");
    tree.folder("Viaggi/Vuota");
    const std::string root = tree.path("Viaggi").native();

    const ChildOutput hidden = report({root});
    EXPECT_EQ(hidden.exitStatus, 0);
    EXPECT_EQ(hidden.standardError, QByteArray());
    EXPECT_EQ(hidden.standardOutput.toStdString(),
              "Cartella " + root +
                  "\nalba.mp4 (0h00m)\nTotale cartella (0h00m)\n\n"
                  "Cartella " +
                  root +
                  "/caf\xef\xbf\xbd\nnotte.avi (0h00m)\nTotale cartella (0h00m)\n\n"
                  "Cartella " +
                  root +
                  "/Mare\nonde.mov (0h01m)\nTotale cartella (0h01m)\n\n"
                  "Gran totale (0h01m)\n");

    const ChildOutput shown = report({"--show-empty", "--extensions", "MOV", root + "/"});
    EXPECT_TRUE(shown.standardOutput.contains("/Vuota\nTotale cartella (0h00m)\n"));
    EXPECT_FALSE(shown.standardOutput.contains("alba.mp4"));
}

// A selection is grouped by folder as a report is, and one folder selected is that folder's run.
TEST(QuillmarkReportTest, MeasuresASelection)
{
    const TempTree tree;
    copyMedia("minute.mov", tree.path("Mare/onde.mov"));
    copyMedia("index-at-start.mp4", tree.path("Mare/Alba/alba.mp4"));
    copyMedia("minute.mov", tree.path("Monti/vetta.mov"));
    copyMedia("minute.mov", tree.path("Monti/valle.mov"));
    const std::string root = tree.root().native();

    const ChildOutput selected =
        report({"--files", root + "/Monti/vetta.mov", root + "/Mare", root + "/Mare/onde.mov"});
    EXPECT_EQ(selected.exitStatus, 0);
    EXPECT_EQ(selected.standardOutput.toStdString(),
              "Cartella " + root + "/Mare\nonde.mov (0h01m)\nTotale cartella (0h01m)\n\n" +
                  "Cartella " + root + "/Mare/Alba\nalba.mp4 (0h00m)\nTotale cartella (0h00m)\n\n" +
                  "Cartella " + root + "/Monti\nvetta.mov (0h01m)\nTotale cartella (0h01m)\n\n" +
                  "Gran totale (0h02m)\n");
    EXPECT_EQ(report({"--files", root + "/Mare"}).standardOutput,
              report({root + "/Mare"}).standardOutput);
}

// --read gives the JSON of a report exactly.
TEST(QuillmarkReportTest, ReportsAsJson)
{
    const TempTree tree;
    const auto file =
        tree.file("durata.txt", "Cartella /v/\"A\"\nalba.mp4 (0h13m)\n"
                                "Errore con file /v/n.mkv: durata non disponibile\n"
                                "n.mkv (0h00m)\nTotale cartella (0h13m)\n\nGran totale (0h13m)\n");
    EXPECT_EQ(report({"--read", file.native()}).standardOutput.toStdString(),
              R"({"grandTotalLabel":"0h13m","folders":[{"path":"/v/\"A\"","totalLabel":"0h13m",)"
              R"("subtreeTotalLabel":"0h13m","subtreeTotalApproximate":false,"files":[{"name":)"
              R"("alba.mp4","durationLabel":"0h13m"},{"name":"n.mkv","durationLabel":"0h00m",)"
              R"("errorMessage":"durata non disponibile"}]}]})"
              "\n");

    // Read back, a sum of several rounded labels says it is approximate; the whole report's is
    // the grand total.
    const auto nested = tree.file("nested.txt", "Cartella /v\nTotale cartella (0h01m)\n\n"
                                                "Cartella /v/a\nTotale cartella (0h01m)\n\n"
                                                "Cartella /v/a/b\nTotale cartella (0h01m)\n\n"
                                                "Gran totale (0h02m)\n");
    const std::string json = report({"--read", nested.native()}).standardOutput.toStdString();
    static const std::regex subtree(
        R"re("subtreeTotalLabel":"(\w+)","subtreeTotalApproximate":(\w+))re");
    std::string read;
    for (std::sregex_iterator match(json.begin(), json.end(), subtree), end; match != end; ++match)
        read += (*match)[1].str() + ((*match)[2] == "true" ? "~ " : " ");
    EXPECT_EQ(read, "0h02m 0h02m~ 0h01m ");
}

struct FailureCase {
    std::vector<std::string> arguments;
    const char* message;
};

class QuillmarkReportFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(QuillmarkReportFailureTest, ExplainsAndExitsWithTwo)
{
    const TempTree tree;
    tree.file("clip.mp4");
    tree.file("latin1.txt", "Cartella /caff\xe8\n");
    ASSERT_EQ(::mkfifo(tree.path("fifo.txt").c_str(), 0600), 0);
    tree.symlink("zero.txt", "/dev/zero");
    // Sparse: as large as it claims, without the disk space.
    std::filesystem::resize_file(tree.file("huge.txt"), 300 * 1024 * 1024);
    std::vector<std::string> arguments;
    for (std::string argument : GetParam().arguments) {
        if (const auto at = argument.find("@"); at != std::string::npos)
            argument.replace(at, 1, tree.root().native());
        arguments.push_back(argument);
    }
    const ChildOutput output = report(arguments);
    EXPECT_EQ(output.exitStatus, 2);
    EXPECT_TRUE(output.standardOutput.isEmpty());
    EXPECT_NE(output.standardError.toStdString().find(GetParam().message), std::string::npos)
        << output.standardError.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, QuillmarkReportFailureTest,
    ::testing::Values(FailureCase{{" \t"}, "Seleziona una cartella valida."},
                      FailureCase{{"@/missing"}, "La cartella selezionata non esiste."},
                      FailureCase{{"@/clip.mp4"}, "Il percorso indicato non è una cartella."},
                      FailureCase{{"--read", "@/latin1.txt"}, "non contiene testo UTF-8 valido"},
                      FailureCase{{"--read", "@/missing.txt"}, "File o cartella inesistente"},
                      FailureCase{{"--read", "@"}, "ma una cartella"},
                      FailureCase{{"--read", "@/fifo.txt"}, "ma una pipe (FIFO)"},
                      FailureCase{{"--read", "@/zero.txt"}, "ma un dispositivo a caratteri"},
                      FailureCase{{"--read", "@/huge.txt"}, "troppo grande"},
                      FailureCase{{}, "indica una CARTELLA oppure --read FILE"},
                      FailureCase{{"--bogus", "@"}, "opzione sconosciuta --bogus"},
                      FailureCase{{"--files"}, "--files richiede almeno un percorso"},
                      FailureCase{{"--files", "@/clip.mp4", "@/missing"}, "Non esiste: "},
                      FailureCase{{"@", "@/clip.mp4"}, "si misura una cartella alla volta"}));

// The window's program says how it is called, as quillmark-report does, in the interface's
// language, and names an option it does not know.
TEST(QuillmarkTest, SaysHowItIsCalledInTheInterfacesLanguage)
{
    const ChildOutput help = runChildProcess(QUILLMARK_EXE, {"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_TRUE(help.standardOutput.startsWith("Uso: quillmark [--run] [CARTELLA]\n"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const ChildOutput bogus = runChildProcess(QUILLMARK_EXE, {"--bogus", "/tmp"});
    EXPECT_EQ(bogus.exitStatus, 2);
    EXPECT_TRUE(bogus.standardError.contains("quillmark: opzione sconosciuta --bogus\nUso: "))
        << bogus.standardError.toStdString();
    qputenv("LC_ALL", "en_US.UTF-8");
    const ChildOutput english = runChildProcess(QUILLMARK_EXE, {"-h"});
    qputenv("LC_ALL", "C.UTF-8");
    EXPECT_TRUE(english.standardOutput.startsWith("Usage: quillmark [--run] [FOLDER]\n"));
}

TEST(QuillmarkReportTest, AClosedOutputOrLackOfMemoryEndsWithAStatusNotASignal)
{
    const TempTree tree;
    std::string blocks;
    for (int i = 0; i < 3000; ++i)
        blocks +=
            "Cartella /v/" + std::to_string(i) + "\na.mp4 (0h01m)\nTotale cartella (0h01m)\n\n";
    const auto report = tree.file("durata.txt", blocks + "Gran totale (50h00m)\n");
    // "head" stops reading after one byte, long before the JSON is written.
    const ChildOutput piped = runChildProcess(
        "/bin/bash", {"-c", R"("$0" --read "$1" | head -c 1 > /dev/null; exit "${PIPESTATUS[0]}")",
                      QUILLMARK_REPORT_EXE, report.native()});
    EXPECT_EQ(piped.exitStatus, 1);
    EXPECT_EQ(piped.standardError, QByteArray());

#ifndef __SANITIZE_ADDRESS__ // the sanitizer reserves more address space than the limit
    // Sparse: 200 MiB of text without the disk space, more than 300 MB of address space holds.
    std::filesystem::resize_file(tree.file("huge.txt"), 200 * 1024 * 1024);
    const ChildOutput starved =
        runChildProcess("/bin/bash", {"-c", R"(ulimit -v 300000; exec "$0" --read "$1")",
                                      QUILLMARK_REPORT_EXE, tree.path("huge.txt").native()});
    EXPECT_EQ(starved.exitStatus, 2);
    EXPECT_TRUE(starved.standardError.contains("memoria insufficiente"))
        << starved.standardError.toStdString();

#endif
}

// Files only ffprobe could measure keep the run busy for seconds; Ctrl+C ends it at once.
// The ffprobe processes still measuring files of the tree.
// The ffprobe processes a program started that are still alive: found by their parent while it
// lives, then by their ids, since they read the file as a descriptor and do not name it.
std::vector<pid_t> toolsOf(pid_t parent)
{
    std::vector<pid_t> tools;
    for (const auto& process : std::filesystem::directory_iterator("/proc")) {
        const std::string status = contents(process.path() / "status");
        const auto field = [&status](const char* name) {
            const std::size_t at = status.find(name);
            return at == std::string::npos ? std::string() : status.substr(at + std::strlen(name));
        };
        if (field("Name:\t").starts_with("ffprobe") &&
            std::atoi(field("PPid:\t").c_str()) == parent)
            tools.push_back(std::atoi(process.path().filename().c_str()));
    }
    return tools;
}

bool alive(pid_t process)
{
    const std::string status = contents("/proc/" + std::to_string(process) + "/status");
    return !status.empty() && status.find("State:\tZ") == std::string::npos;
}

// Ctrl+C, a termination request or a closed terminal stop a run with 130 and end its ffprobe
// processes; a kill, which nothing can catch, ends them too: they die with their parent.
TEST(QuillmarkReportTest, InterruptedRunExitsWith130AndLeavesNoChild)
{
    const TempTree tree;
    for (int i = 0; i < 300; ++i)
        tree.file(std::string("f").append(std::to_string(i)).append(".mp4"), "not a video");
    for (const int signal : {SIGINT, SIGHUP, SIGKILL}) {
        QProcess cli;
        cli.start(QStringLiteral(QUILLMARK_REPORT_EXE),
                  {QStringLiteral("--no-cache"), QString::fromStdString(tree.root().native())});
        ASSERT_TRUE(cli.waitForStarted());
        QElapsedTimer started;
        started.start();
        std::vector<pid_t> tools;
        while ((tools = toolsOf(pid_t(cli.processId()))).empty() && started.elapsed() < 10000)
            QTest::qSleep(10);
        ASSERT_FALSE(tools.empty()) << "no ffprobe was started";
        ::kill(pid_t(cli.processId()), signal);
        ASSERT_TRUE(cli.waitForFinished(5000));
        if (signal != SIGKILL) {
            EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(cli.exitCode(), 130);
            EXPECT_TRUE(cli.readAllStandardOutput().isEmpty());
        }
        QElapsedTimer gone;
        gone.start();
        while (std::any_of(tools.begin(), tools.end(), alive) && gone.elapsed() < 2000)
            QTest::qSleep(10);
        EXPECT_FALSE(std::any_of(tools.begin(), tools.end(), alive)) << signal;
    }
}

// Two programs making and using one cache at once both finish with the same report and without
// a complaint. Which of them takes a lock first is chance: so in rounds, each with a new cache.
TEST(QuillmarkReportTest, TwoProgramsShareTheCacheAndBothFinish)
{
    const TempTree tree;
    const TempTree caches;
    for (int i = 0; i < 3; ++i)
        copyMedia("clip.mkv", tree.path(std::string("v").append(std::to_string(i)).append(".mkv")));
    const QString root = QString::fromStdString(tree.root().native());
    const QByteArray expected = report({"--no-cache", tree.root().native()}).standardOutput;
    for (int round = 0; round < 12; ++round) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CACHE_HOME"),
                           QString::fromStdString(caches.path(std::to_string(round)).native()));
        std::array<QProcess, 2> programs;
        for (QProcess& program : programs) {
            program.setProcessEnvironment(environment);
            program.start(QStringLiteral(QUILLMARK_REPORT_EXE), {root});
        }
        for (QProcess& program : programs) {
            ASSERT_TRUE(program.waitForFinished(20000));
            EXPECT_EQ(program.readAllStandardError().toStdString(), "") << round;
            EXPECT_EQ(program.readAllStandardOutput(), expected) << round;
        }
    }
}

// A report made with the cache is byte for byte the one made without it, however the same bytes
// were met before: under a hard link, in a folder since renamed, in another folder. A failure's
// message names the file and its path (ffprobe's own words do too).
TEST(QuillmarkReportTest, TheCacheNeverChangesAReport)
{
    const TempTree tree;
    copyMedia("text.mp4", tree.path("Serie/a.mp4"));
    copyMedia("clip.mkv", tree.path("Serie/ok.mkv"));
    std::filesystem::create_hard_link(tree.path("Serie/a.mp4"), tree.path("Serie/b.mp4"));
    const auto sameWithAndWithout = [&](const char* folder) {
        const std::string root = tree.path(folder).native();
        report({root});
        const QByteArray cached = report({root}).standardOutput;
        EXPECT_TRUE(cached.contains("ffprobe non è riuscito ad analizzare")) << cached.data();
        EXPECT_EQ(cached.toStdString(), report({"--no-cache", root}).standardOutput.toStdString())
            << folder;
    };
    sameWithAndWithout("Serie");
    std::filesystem::rename(tree.path("Serie"), tree.path("Serie (0h00m)"));
    sameWithAndWithout("Serie (0h00m)");
    std::filesystem::create_directory(tree.path("Altro"));
    std::filesystem::rename(tree.path("Serie (0h00m)/a.mp4"), tree.path("Altro/a.mp4"));
    sameWithAndWithout("Altro");
}

// A spreadsheet of a real run: a name with a comma is quoted, one with a line feed is written as
// it is, quoted, one that is not UTF-8 is said to be so, and the seconds add up to the seconds
// the report's grand total was made from.
TEST(QuillmarkReportTest, ReportsAsCsv)
{
    const TempTree tree;
    copyMedia("minute.mov", tree.path("Corso/uno, due.mov"));
    copyMedia("clip.mkv", tree.path("Corso/tr\xe9.mkv"));
    copyMedia("text.mp4", tree.path("Corso/rotto.mp4"));
    copyMedia("minute.mov", tree.path("Corso/riga uno\nriga due.mov"));
    const QString csv = QString::fromUtf8(
        report({"--csv", "--no-cache", tree.path("Corso").native()}).standardOutput);
    const QStringList lines = csv.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[1].startsWith(tree.root().c_str() +
                                    QStringLiteral("/Corso,\"riga uno\nriga due.mov\",61,0h01m,,")))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[4].startsWith(tree.root().c_str() +
                                    QStringLiteral("/Corso,\"uno, due.mov\",61,0h01m,,")));
    EXPECT_TRUE(lines[3].contains(QStringLiteral("tr\uFFFD.mkv,4,0h00m,,percorso non valido")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("rotto.mp4,0,0h00m,")));
    EXPECT_TRUE(lines[2].contains(QStringLiteral("Formato non supportato")));
    EXPECT_EQ(report({"--csv", "--json", tree.root().native()}).exitStatus, 2);
}

} // namespace
} // namespace quillmark
