#include "app/interface_language.h"
#include "model/playback_speed.h"
#include "report/csv_export.h"
#include "report/folder_tree.h"
#include "report/report_reader.h"
#include "report/report_writer.h"
#include "report/selection_total.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace quillmark {
namespace {

// /Corso (a 61 s, b 59 s), /Corso/Parte 1 (c 100 s, d 20 s), /Corso/Parte 2 (e 7 s): seconds
// chosen so that rounded labels do not add up to the measured sum.
struct Course {
    QList<FolderReport> folders{
        {QStringLiteral("/Corso"),
         {{QStringLiteral("a.mp4"), QStringLiteral("/Corso/a.mp4"), 61, {}},
          {QStringLiteral("b, \"bis\".mp4"), QStringLiteral("/Corso/b, \"bis\".mp4"), 59, {}}},
         120},
        {QStringLiteral("/Corso/Parte 1"),
         {{QStringLiteral("c.mp4"), QStringLiteral("/Corso/Parte 1/c.mp4"), 100, {}},
          {QStringLiteral("d.mkv"), QStringLiteral("/Corso/Parte 1/d.mkv"), 20, {}, false}},
         120},
        {QStringLiteral("/Corso/Parte 2"),
         {{QStringLiteral("e.avi"), QStringLiteral("/Corso/Parte 2/e.avi"), 7,
           QStringLiteral("Formato non supportato")}},
         7}};
    std::int64_t grandTotal = 247;
    ReportSummary summary = parseReport(reportText(folders, grandTotal));
    std::vector<FolderTreeRow> tree = folderTree(summary, {120, 120, 7});
    std::vector<MeasuredFile> measured{{61}, {59}, {100}, {20, false}, {7}};
};

TEST(SelectionTotalTest, CountsEachFileOnceFromMeasuredSecondsOrLabels)
{
    const Course course;
    const std::vector<MeasuredFile> none;
    struct Case {
        const char* name;
        std::vector<int> folders;
        std::vector<ReportFile> files;
        const std::vector<MeasuredFile>& measured;
        SelectionTotal expected;
    };
    for (const Case& item : std::initializer_list<Case>{
             {"nothing", {}, {}, course.measured, {0, 0, false}},
             {"two files", {}, {{0, 0}, {1, 1}}, course.measured, {2, 81, false}},
             {"the top folder and its subtree", {0}, {}, course.measured, {5, 247, false}},
             {"a folder, its file and a file elsewhere",
              {1},
              {{1, 0}, {1, 0}, {2, 0}},
              course.measured,
              {3, 127, false}},
             {"a folder inside a chosen one", {0, 2}, {{2, 0}}, course.measured, {5, 247, false}},
             {"read from text: labels", {}, {{0, 0}, {1, 0}}, none, {2, 180, true}},
             {"out of range", {99}, {{7, 0}, {0, 9}}, course.measured, {0, 0, false}},
         }) {
        SCOPED_TRACE(item.name);
        const SelectionTotal total =
            selectionTotal(course.summary, course.tree, item.measured, item.folders, item.files);
        EXPECT_EQ(total.videos, item.expected.videos);
        EXPECT_EQ(total.seconds, item.expected.seconds);
        EXPECT_EQ(total.approximate, item.expected.approximate);
    }
}

// A report read from text knows whole minutes only. Its totals never contradict what stands beside
// them: a subtree of one row is that row's total, one of every row the stated grand total (none
// is stated here once its line is lost), a folder chosen whole counts its own total rather than
// its files' labels; only labels of several parts are added up, and marked as approximate.
TEST(SelectionTotalTest, TotalsFromLabelsAgreeWithTheLabelsBesideThem)
{
    const QString text = QStringLiteral(
        "Cartella /C\nx.mp4 (0h01m)\ny.mp4 (0h01m)\nz.mp4 (0h01m)\nTotale cartella (0h02m)\n\n"
        "Cartella /C/D\nw.mp4 (0h01m)\nTotale cartella (0h01m)\n\nGran totale (0h04m)\n");
    for (const bool stated : {true, false}) {
        const ReadReport read =
            readReport(stated ? text : text.left(text.indexOf(QStringLiteral("Gran"))));
        const std::vector<FolderTreeRow> tree = folderTree(read);
        const auto grandTotal = stated ? std::optional<std::int64_t>(240) : std::nullopt;
        EXPECT_EQ(tree[1].subtreeSeconds, 60);
        EXPECT_FALSE(tree[1].approximate);
        EXPECT_EQ(tree[0].subtreeSeconds, stated ? 240 : 180);
        EXPECT_EQ(tree[0].approximate, !stated);
        const struct {
            std::vector<int> folders;
            std::vector<ReportFile> files;
            SelectionTotal expected;
        } cases[] = {{{0}, {}, {4, stated ? 240 : 180, !stated}},
                     {{0, 1}, {{0, 1}}, {4, stated ? 240 : 180, !stated}},
                     {{}, {{0, 0}, {0, 1}, {0, 2}}, {3, 120, false}},
                     {{1}, {}, {1, 60, false}},
                     {{}, {{0, 0}, {0, 1}, {0, 2}, {1, 0}}, {4, stated ? 240 : 180, !stated}},
                     {{}, {{0, 0}, {1, 0}}, {2, 120, true}},
                     {{}, {{0, 2}}, {1, 60, false}}};
        for (const auto& item : cases) {
            const SelectionTotal total =
                selectionTotal(read.summary, tree, {}, item.folders, item.files, grandTotal);
            EXPECT_EQ(total.videos, item.expected.videos) << stated;
            EXPECT_EQ(total.seconds, item.expected.seconds) << stated << " " << item.files.size();
            EXPECT_EQ(total.approximate, item.expected.approximate) << stated;
        }
    }
}

TEST(PlaybackSpeedTest, WatchTimeComesFromExactSeconds)
{
    for (const auto& [seconds, speed, expected] :
         {std::tuple{std::int64_t(15900), 150, "2h57m a 1,5×"}, // 4h25m at 1.5x is 10600 s
          std::tuple{std::int64_t(89), 200, "0h01m a 2×"},      // 44.5 s rounds up
          std::tuple{std::int64_t(3600), 125, "0h48m a 1,25×"},
          std::tuple{std::int64_t(3600), 175, "0h34m a 1,75×"}}) {
        EXPECT_EQ(watchTimeText(seconds, speed, false), QString::fromUtf8(expected));
    }
    EXPECT_EQ(withWatchTime(QStringLiteral("1h00m"), 3600, 150, true),
              QStringLiteral("1h00m · ≈ 0h40m a 1,5×"));
    EXPECT_EQ(withWatchTime(QStringLiteral("1h00m"), 3600, 100, true), QStringLiteral("1h00m"));
    EXPECT_EQ(knownPlaybackSpeed(130), 100);
    EXPECT_GT(secondsAtSpeed(INT64_MAX, 125), 0);
}

// Quotes where a field needs them, CRLF, and seconds that add up to the grand total (247).
TEST(CsvExportTest, QuotesWhatNeedsItAndAddsUpToTheGrandTotal)
{
    const Course course;
    auto csv = [&course](const std::vector<MeasuredFile>& measured) {
        QByteArray bytes;
        EXPECT_TRUE(writeCsv(course.summary, measured, {}, [&](QByteArrayView piece) {
            bytes.append(piece);
            return true;
        }));
        return QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    };
    const QString notUtf8 =
        QStringLiteral("percorso non valido in UTF-8: i byte non validi sono mostrati come \uFFFD");
    EXPECT_EQ(
        csv(course.measured),
        (QStringList{"Cartella,File,Secondi,Durata,Errore,Nota", "/Corso,a.mp4,61,0h01m,,",
                     "/Corso,\"b, \"\"bis\"\".mp4\",59,0h01m,,", "/Corso/Parte 1,c.mp4,100,0h02m,,",
                     "/Corso/Parte 1,d.mkv,20,0h00m,," + notUtf8,
                     "/Corso/Parte 2,e.avi,7,0h00m,Formato non supportato,", ""}));
    // Read back from text, only the labels are known.
    EXPECT_EQ(csv({}).at(1), QStringLiteral("/Corso,a.mp4,,0h01m,,"));
    // The header speaks the interface's language; the report text stays Italian, since the
    // reader knows only its Italian keywords.
    const InterfaceLanguage english(QLocale(QLocale::English));
    EXPECT_EQ(csv({}).at(0), QStringLiteral("Folder,File,Seconds,Duration,Error,Note"));
    EXPECT_EQ(reportText(course.folders, course.grandTotal).split(QLatin1Char('\n')).at(0),
              QStringLiteral("Cartella /Corso"));
    EXPECT_TRUE(reportText(course.folders, course.grandTotal)
                    .endsWith(QStringLiteral("Totale cartella (0h00m)\n\nGran totale (0h04m)\n")));
}

// A report from someone else's hands, and names on anyone's disk, may hold what a spreadsheet
// runs as a formula: each text field that opens one stays text, behind an apostrophe.
TEST(CsvExportTest, NoFieldRunsAsAFormula)
{
    const ReportSummary summary = parseReport(QStringLiteral(
        "Cartella /v\nErrore con file /v/=1+2: =HYPERLINK(\"https:\\\\example.invalid\";\"Apri\")\n"
        "=1+2 (0h00m)\n+a (0h01m)\n-b (0h01m)\n@c (0h01m)\n\td (0h01m)\nf=1 (0h01m)\n"
        "Totale cartella (0h05m)\n\nGran totale (0h05m)\n"));
    QByteArray bytes;
    writeCsv(summary, {}, {}, [&bytes](QByteArrayView piece) {
        bytes.append(piece);
        return true;
    });
    const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    EXPECT_EQ(
        lines.mid(1, 6),
        (QStringList{
            "/v,'=1+2,,0h00m,\"'=HYPERLINK(\"\"https:\\\\example.invalid\"\";\"\"Apri\"\")\",",
            "/v,'+a,,0h01m,,", "/v,'-b,,0h01m,,", "/v,'@c,,0h01m,,", "/v,'\td,,0h01m,,",
            "/v,f=1,,0h01m,,"}));
}

} // namespace
} // namespace quillmark
