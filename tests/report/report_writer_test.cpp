#include "report/report_writer.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

FileEntry entry(const char* folder, const char* name, std::int64_t seconds,
                std::optional<QString> error = std::nullopt)
{
    const QString n = QString::fromUtf8(name);
    return FileEntry{n, QString::fromUtf8(folder) + QLatin1Char('/') + n, seconds,
                     std::move(error)};
}

TEST(ReportWriterTest, EdgeShapes)
{
    EXPECT_EQ(reportText({}, 0), QStringLiteral("Gran totale (0h00m)\n"));
    EXPECT_EQ(reportText({FolderReport{QStringLiteral("/vuota"), {}, 0}}, -5),
              QStringLiteral("Cartella /vuota\nTotale cartella (0h00m)\n\nGran totale (0h00m)\n"));
    // An error with seconds keeps both lines; odd characters are written unchanged; totals are
    // the ones handed in, not recomputed.
    const QList<FolderReport> odd{
        {QStringLiteral("/a: b (c)"),
         {entry("/a: b (c)", "x (1h00m).mp4", 3569, QStringLiteral("m: n (o)"))},
         -1}};
    EXPECT_EQ(reportText(odd, 99999),
              QStringLiteral("Cartella /a: b (c)\n"
                             "Errore con file /a: b (c)/x (1h00m).mp4: m: n (o)\n"
                             "x (1h00m).mp4 (0h59m)\n"
                             "Totale cartella (0h00m)\n\n"
                             "Gran totale (27h47m)\n"));
}

} // namespace
} // namespace quillmark
