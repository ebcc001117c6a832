#include "model/report_model.h"
#include "support/printers.h"

#include <gtest/gtest.h>

namespace quillmark {
namespace {

FileRow row(const char* name, std::optional<QString> error = std::nullopt)
{
    return FileRow{QString::fromUtf8(name), QStringLiteral("0h01m"), std::move(error)};
}

TEST(FileRowTest, AbsentAndEmptyMessagesDifferButShareIdentity)
{
    const FileRow absent = row("a.mp4");
    const FileRow empty = row("a.mp4", QString());
    EXPECT_NE(absent, empty);
    EXPECT_EQ(absent.id(), empty.id());
    EXPECT_NE(qHash(absent), qHash(empty));
}

TEST(FileRowTest, IdentityJoinsNameAndMessageWithoutSeparator)
{
    EXPECT_EQ(row("a.mp4", QStringLiteral("rotto")).id(), QStringLiteral("a.mp4rotto"));
    EXPECT_EQ(row("a.mp4r", QStringLiteral("otto")).id(),
              row("a.mp4", QStringLiteral("rotto")).id());
}

TEST(FolderRowTest, EqualityAndHashFollowEveryFieldInOrder)
{
    const FolderRow folder{
        QStringLiteral("/v"), {row("a.mp4"), row("b.mp4")}, QStringLiteral("0h02m")};
    FolderRow reordered = folder;
    std::swap(reordered.files[0], reordered.files[1]);
    FolderRow relabelled = folder;
    relabelled.totalLabel = QStringLiteral("0h03m");

    EXPECT_EQ(folder, FolderRow(folder));
    EXPECT_EQ(qHash(folder), qHash(FolderRow(folder)));
    EXPECT_NE(folder, reordered);
    EXPECT_NE(folder, relabelled);
    EXPECT_EQ(folder.id(), relabelled.id());
}

TEST(ReportSummaryTest, EmptySummaryAndFileCount)
{
    EXPECT_TRUE(ReportSummary::empty().folders.isEmpty());
    EXPECT_EQ(ReportSummary::empty().grandTotalLabel, QStringLiteral("0h00m"));
    EXPECT_EQ(ReportSummary::empty().totalFileCount(), 0);

    ReportSummary summary;
    summary.folders = {FolderRow{QStringLiteral("/a"), {row("1"), row("2")}, {}},
                       FolderRow{QStringLiteral("/b"), {}, {}},
                       FolderRow{QStringLiteral("/c"), {row("3")}, {}}};
    EXPECT_EQ(summary.totalFileCount(), 3);
}

} // namespace
} // namespace quillmark
