#include "report/report_reader.h"
#include "support/param_name.h"
#include "support/printers.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <random>

namespace quillmark {
namespace {

// A summary on one line: "[path] name=label!error ... =total; ... | grand total".
std::string describe(const ReportSummary& summary)
{
    QString text;
    for (const FolderRow& folder : summary.folders) {
        text += QLatin1Char('[') + folder.path + QLatin1Char(']');
        for (qsizetype i = 0; i < folder.fileCount(); ++i) {
            const FileRow file = folder.file(i);
            text += QLatin1Char(' ') + file.name + QLatin1Char('=') + file.durationLabel;
            if (file.errorMessage)
                text += QLatin1Char('!') + *file.errorMessage;
        }
        text += QLatin1String(" =") + folder.totalLabel + QLatin1String("; ");
    }
    return (text + QLatin1String("| ") + summary.grandTotalLabel).toStdString();
}

struct ReaderCase {
    const char* name;
    const char* text;
    const char* expected;
};

class ReportReaderTest : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(ReportReaderTest, ReadsLeniently)
{
    EXPECT_EQ(describe(parseReport(QString::fromUtf8(GetParam().text))), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReportReaderTest,
    ::testing::Values(
        ReaderCase{
            "example",
            "Cartella /Volumes/Dati/Video/Viaggi\n"
            "alba.mp4 (0h13m)\n"
            "Errore con file /Volumes/Dati/Video/Viaggi/notte.mkv: durata non disponibile\n"
            "notte.mkv (0h00m)\n"
            "Totale cartella (0h13m)\n\n"
            "Cartella /Volumes/Dati/Video/Viaggi/Mare\n"
            "onde.mov (1h00m)\n"
            "Totale cartella (1h00m)\n\n"
            "Gran totale (1h12m)\n",
            "[/Volumes/Dati/Video/Viaggi] alba.mp4=0h13m notte.mkv=0h00m!durata non disponibile "
            "=0h13m; [/Volumes/Dati/Video/Viaggi/Mare] onde.mov=1h00m =1h00m; | 1h12m"},
        ReaderCase{"nothing recognised", "ciao\nmondo\n(1h00m)", "| 0h00m"},
        ReaderCase{
            "CR LF line ends make one single line",
            "Cartella /a\r\nx (0h01m)\r\nTotale cartella (0h01m)\r\n\r\nGran totale (0h01m)\r\n",
            "| 0h00m"},
        ReaderCase{"a final CR is a line end for the anchors",
                   "Cartella /a\nTotale cartella (0h01m)\r", "[/a] =0h01m; | 0h00m"},
        ReaderCase{"header after header loses the first folder",
                   "Cartella /a\nx (0h01m)\nCartella /b\ny (0h02m)\nTotale cartella (0h02m)\n",
                   "[/b] y=0h02m =0h02m; | 0h00m"},
        ReaderCase{"unclosed block at the end is lost, its grand total is a file",
                   "Cartella /a\nx (0h01m)\nGran totale (0h01m)\n", "| 0h00m"},
        ReaderCase{"grand total inside a closed block is a file row",
                   "Cartella /a\nGran totale (0h05m)\nTotale cartella (0h05m)\n",
                   "[/a] Gran totale=0h05m =0h05m; | 0h00m"},
        ReaderCase{"total with trailing text drops the folder",
                   "Cartella /a\nx (0h01m)\nTotale cartella (0h01m) extra\nGran totale (0h01m)\n",
                   "| 0h01m"},
        ReaderCase{"an error line naming its file keeps the whole message",
                   "Cartella /a\nErrore con file /a/x: y: z\nx (0h00m)\nTotale cartella (0h00m)\n",
                   "[/a] x=0h00m!y: z =0h00m; | 0h00m"},
        ReaderCase{"otherwise the message is what follows the last colon-space",
                   "Cartella /a\nErrore con file /b/x: y: z\nx (0h00m)\nTotale cartella (0h00m)\n",
                   "[/a] x=0h00m!z =0h00m; | 0h00m"},
        ReaderCase{"an error is not carried over a total",
                   "Cartella /a\nErrore con file /a/x: uno\nTotale cartella (0h00m)\n"
                   "Cartella /b\nx (0h00m)\nTotale cartella (0h00m)\n",
                   "[/a] =0h00m; [/b] x=0h00m =0h00m; | 0h00m"},
        ReaderCase{
            "a line that fits both is an error line",
            "Cartella /a\nErrore con file /a/x: (0h01m)\nx (0h02m)\nTotale cartella (0h02m)\n",
            "[/a] x=0h02m!(0h01m) =0h02m; | 0h00m"},
        ReaderCase{"in a block, lines that name no absolute path or end in a label are files",
                   "Cartella /a\nCartella stampa.mp4 (0h01m)\nTotale cartella (0h05m).mp4 (0h02m)\n"
                   "Errore con file x: y.mp4 (0h03m)\nGran totale (9h00m).mp4 (0h04m)\n"
                   "Totale cartella (0h10m)\nGran totale (0h10m)\n",
                   "[/a] Cartella stampa.mp4=0h01m Totale cartella (0h05m).mp4=0h02m Errore con "
                   "file x: y.mp4=0h03m Gran totale (9h00m).mp4=0h04m =0h10m; | 0h10m"},

        ReaderCase{"a combining mark after the header's space makes it no header",
                   "Cartella \xcc\x81/a\nTotale cartella (0h00m)\n", "| 0h00m"},
        ReaderCase{"grand total found anywhere outside blocks, last one wins",
                   "xx Gran totale (1h00m) yy\nGran totale (2h00m)\n"
                   "Totale cartella (3h00m)\nGran totale (4h00m\n",
                   "| 2h00m"}),
    [](const auto& info) { return test::paramName(info.param.name); });

// The error line is matched by hand, in one pass; it must capture what the pattern would.
TEST(ReportReaderErrorLineTest, MessageIsWhatThePatternCaptures)
{
    const QRegularExpression pattern(QStringLiteral("(*ANY)^Errore con file (.+): (.+)$"),
                                     QRegularExpression::UseUnicodePropertiesOption);
    const QList<QString> pieces{QStringLiteral("a"),      QStringLiteral(":"),
                                QStringLiteral(" "),      QStringLiteral(": "),
                                QStringLiteral("\r"),     QStringLiteral("\u0085"),
                                QStringLiteral("\u2028"), QStringLiteral("\x0b")};
    std::mt19937 random(9);
    for (int round = 0; round < 20000; ++round) {
        QString line = QStringLiteral("Errore con file /");
        for (int n = int(random() % 8); n > 0; --n)
            line += pieces[random() % pieces.size()];
        const QString text = QStringLiteral("Cartella /x\n") + line +
                             QStringLiteral("\nf (0h01m)\nTotale cartella (0h01m)\n");
        const QRegularExpressionMatch match = pattern.match(line);
        const ReportSummary summary = parseReport(text);
        // A final CR joins the next line; such texts are beside the point here.
        if (line.endsWith(QLatin1Char('\r')) || summary.folders.isEmpty())
            continue;
        const FolderRow& folder = summary.folders.front();
        ASSERT_GT(folder.fileCount(), 0);
        EXPECT_EQ(folder.file(folder.fileCount() - 1).errorMessage,
                  match.hasMatch() ? std::optional(match.captured(2)) : std::nullopt)
            << line.toStdString();
    }
}

} // namespace
} // namespace quillmark
