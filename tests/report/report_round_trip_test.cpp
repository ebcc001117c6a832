#include "model/duration_label.h"
#include "report/report_reader.h"
#include "report/report_writer.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <random>

namespace quillmark {
namespace {

// Text pieces that a real tree can hold: spaces, parentheses, colons, accents, labels, line
// breaks and whole forged report lines.
QString randomText(std::mt19937& random)
{
    static const QStringList pieces{
        QStringLiteral("Film"),   QStringLiteral(" "),
        QStringLiteral("(2019)"), QStringLiteral("città"),
        QStringLiteral("a: b"),   QStringLiteral(" (1h00m)"),
        QStringLiteral("日本"),   QStringLiteral("\t"),
        QStringLiteral(")"),      QStringLiteral("Cartella"),
        QStringLiteral("x.mp4"),  QStringLiteral("é"),
        QStringLiteral("\n"),     QStringLiteral("\r\n"),
        QStringLiteral("\r"),     QStringLiteral("\nGran totale (99h00m)\nCartella /y\n"),
    };
    QString text;
    for (int n = 1 + int(random() % 5); n > 0; --n)
        text += pieces[random() % pieces.size()];
    return text;
}

TEST(ReportRoundTripTest, WriterOutputReadsBackIntoTheSameRows)
{
    std::mt19937 random(2024);
    for (int round = 0; round < 200; ++round) {
        QList<FolderReport> folders;
        ReportSummary expected;
        std::int64_t grandTotal = 0;
        for (int f = int(random() % 5); f > 0; --f) {
            FolderReport folder{QLatin1Char('/') + randomText(random), {}, 0};
            FolderRow row{oneLine(folder.path), {}, {}};
            for (int n = int(random() % 6); n > 0; --n) {
                QString name = randomText(random);
                // A file line that starts like a header is read as one; the format cannot carry it.
                while (name.startsWith(QLatin1String("Cartella")))
                    name = randomText(random);
                const std::int64_t seconds = std::int64_t(random() % 400000) - 1000;
                std::optional<QString> error;
                if (random() % 3 == 0)
                    error = QStringLiteral("Formato non supportato: ") +
                            randomText(random).remove(QLatin1Char(':'));
                folder.files.append(
                    FileEntry{name, folder.path + QLatin1Char('/') + name, seconds, error});
                row.files.append(
                    FileRow{oneLine(name), formatDuration(seconds),
                            error ? std::optional(oneLine(*error).section(QLatin1String(": "), -1))
                                  : std::nullopt});
                folder.totalSeconds += seconds;
            }
            row.totalLabel = formatDuration(folder.totalSeconds);
            grandTotal += folder.totalSeconds;
            folders.append(folder);
            expected.folders.append(row);
        }
        const ReportSummary read = parseReport(reportText(folders, grandTotal));
        ASSERT_EQ(read.folders, expected.folders) << reportText(folders, grandTotal).toStdString();
        ASSERT_EQ(read.grandTotalLabel, formatDuration(grandTotal));
    }
}

} // namespace
} // namespace quillmark
