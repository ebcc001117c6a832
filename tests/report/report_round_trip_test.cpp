#include "model/duration_label.h"
#include "report/report_format.h"
#include "report/report_reader.h"
#include "report/report_writer.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <random>

namespace quillmark {
namespace {

// Text pieces a real tree can hold in its names: the report's keywords, labels, parentheses,
// colons, accents, every character some reader takes for a line end, a byte that was not UTF-8,
// and whole forged report lines.
QString randomText(std::mt19937& random)
{
    static const QStringList pieces{
        QStringLiteral("Film"),
        QStringLiteral(" "),
        QStringLiteral("(2019)"),
        QStringLiteral("città"),
        QStringLiteral("a: b"),
        QStringLiteral(": "),
        QStringLiteral(" (1h00m)"),
        QStringLiteral("日本"),
        QStringLiteral("\t"),
        QStringLiteral(")"),
        QStringLiteral("Cartella "),
        QStringLiteral("Totale cartella ("),
        QStringLiteral("Totale cartella"),
        QStringLiteral("Errore con file "),
        QStringLiteral("Gran totale (9h00m)"),
        QStringLiteral("x.mp4"),
        QStringLiteral("\uFFFD"),
        QStringLiteral("\uFEFF"),
        QStringLiteral("\n"),
        QStringLiteral("\r\n"),
        QStringLiteral("\r"),
        QStringLiteral("\u0085\u2028\u2029\v\f"),
        QStringLiteral("\nGran totale (99h00m)\nCartella /y\n"),
    };
    QString text;
    for (int n = 1 + int(random() % 5); n > 0; --n)
        text += pieces[random() % pieces.size()];
    return text;
}

// Whatever the names, the report text reads back as the rows of the results it was written from:
// each name, label and message as written, line ends made visible.
TEST(ReportRoundTripTest, WriterOutputReadsBackIntoTheRowsOfTheResults)
{
    std::mt19937 random(2024);
    for (int round = 0; round < 300; ++round) {
        QList<FolderReport> folders;
        std::int64_t grandTotal = 0;
        for (int f = int(random() % 5); f > 0; --f) {
            QString path;
            for (int depth = 1 + int(random() % 3); depth > 0; --depth)
                path += QLatin1Char('/') + randomText(random).remove(QLatin1Char('/'));
            FolderReport folder{path, {}, 0};
            for (int n = int(random() % 6); n > 0; --n) {
                const QString name = randomText(random);
                const std::int64_t seconds = std::int64_t(random() % 400000) - 1000;
                std::optional<QString> error;
                if (random() % 3 == 0)
                    error = QStringLiteral("Formato non supportato da AVFoundation: ") + name +
                            QStringLiteral(" — fallback: ") + randomText(random);
                folder.files.append(
                    FileEntry{name, folder.path + QLatin1Char('/') + name, seconds, error});
                folder.totalSeconds += seconds;
            }
            grandTotal += folder.totalSeconds;
            folders.append(folder);
        }
        const QString text = reportText(folders, grandTotal);
        const ReadReport read = readReport(text);
        ASSERT_EQ(read.summary.folders.size(), folders.size()) << text.toStdString();
        for (qsizetype f = 0; f < folders.size(); ++f) {
            const FolderReport& written = folders[f];
            const FolderRow& row = read.summary.folders[f];
            ASSERT_EQ(row.path, oneLine(written.path)) << text.toStdString();
            ASSERT_EQ(row.totalLabel, formatDuration(written.totalSeconds)) << text.toStdString();
            ASSERT_EQ(row.fileCount(), written.files.size()) << text.toStdString();
            for (qsizetype i = 0; i < row.fileCount(); ++i) {
                const FileEntry& file = written.files[i];
                ASSERT_EQ(row.file(i), (FileRow{oneLine(file.name), formatDuration(file.seconds),
                                                file.error ? std::optional(oneLine(*file.error))
                                                           : std::nullopt}))
                    << text.toStdString();
            }
        }
        ASSERT_EQ(read.grandTotalLabel, formatDuration(grandTotal)) << text.toStdString();
    }
}

} // namespace
} // namespace quillmark
