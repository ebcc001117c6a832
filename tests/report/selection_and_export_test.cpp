#include "model/playback_speed.h"
#include "report/csv_export.h"
#include "report/folder_tree.h"
#include "report/report_reader.h"
#include "report/report_writer.h"
#include "report/selection_total.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <numeric>

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
             {"read from text: labels", {}, {{0, 0}, {0, 1}}, none, {2, 120, true}},
             {"out of range", {99}, {{7, 0}, {0, 9}}, course.measured, {0, 0, false}},
         }) {
        SCOPED_TRACE(item.name);
        const SelectionTotal total = selectionTotal(course.summary, course.tree, item.measured,
                                                    item.folders, item.files);
        EXPECT_EQ(total.videos, item.expected.videos);
        EXPECT_EQ(total.seconds, item.expected.seconds);
        EXPECT_EQ(total.approximate, item.expected.approximate);
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
    EXPECT_EQ(watchTimeText(3600, 150, true), QStringLiteral("≈ 0h40m a 1,5×"));
    EXPECT_EQ(knownPlaybackSpeed(130), 100);
    EXPECT_GT(secondsAtSpeed(INT64_MAX, 125), 0);
}

// Parses RFC 4180 as a spreadsheet does: quoted fields may hold commas, quotes and line ends.
std::vector<QStringList> parseCsv(const QString& text)
{
    std::vector<QStringList> lines(1);
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted && c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
            field += c;
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && c == u',') {
            lines.back() << std::exchange(field, {});
        } else if (!quoted && c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            lines.back() << std::exchange(field, {});
            lines.emplace_back();
            ++i;
        } else {
            field += c;
        }
    }
    lines.pop_back();
    return lines;
}

TEST(CsvExportTest, QuotesWhatNeedsItAndAddsUpToTheGrandTotal)
{
    const Course course;
    QByteArray bytes;
    ASSERT_TRUE(writeCsv(course.summary, course.measured, [&](QByteArrayView piece) {
        bytes.append(piece);
        return true;
    }));
    const std::vector<QStringList> lines = parseCsv(QString::fromUtf8(bytes));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], QStringList({"Cartella", "File", "Secondi", "Durata", "Errore", "Nota"}));
    EXPECT_EQ(lines[2][1], QStringLiteral("b, \"bis\".mp4"));
    EXPECT_TRUE(bytes.contains("\"b, \"\"bis\"\".mp4\""));
    EXPECT_EQ(lines[5][4], QStringLiteral("Formato non supportato"));
    EXPECT_TRUE(lines[4][5].contains(QChar(0xFFFD))) << "a path that was not UTF-8 says so";
    double sum = 0;
    for (std::size_t line = 1; line < lines.size(); ++line) {
        EXPECT_EQ(lines[line].size(), 6);
        sum += lines[line][2].toDouble();
    }
    EXPECT_EQ(sum, double(course.grandTotal));

    QByteArray labelsOnly;
    writeCsv(course.summary, {}, [&](QByteArrayView piece) {
        labelsOnly.append(piece);
        return true;
    });
    EXPECT_EQ(parseCsv(QString::fromUtf8(labelsOnly))[1][2], QString()) << "no seconds to tell";
}

} // namespace
} // namespace quillmark
