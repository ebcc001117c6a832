#include "model/app_error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace quillmark {
namespace {

struct DescriptionCase {
    AppError error;
    const char* description;
};

class AppErrorDescriptionTest : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(AppErrorDescriptionTest, DescribesItselfInItalian)
{
    const DescriptionCase& c = GetParam();
    EXPECT_EQ(c.error.errorDescription(), QString::fromUtf8(c.description));
    EXPECT_STREQ(c.error.what(), c.description);
    EXPECT_EQ(describeError(std::make_exception_ptr(c.error)), QString::fromUtf8(c.description));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AppErrorDescriptionTest,
    ::testing::Values(
        DescriptionCase{AppError::invalidFolder(QStringLiteral("Cartella assente")),
                        "Cartella assente"},
        DescriptionCase{AppError::unsupportedFormat("/v/sub/clip.mp4"),
                        "Formato non supportato da AVFoundation: clip.mp4"},
        DescriptionCase{
            AppError::ffprobeFailed("/Volumes/A/clip.mkv",
                                    QStringLiteral("Invalid data found when processing input")),
            "ffprobe non è riuscito ad analizzare clip.mkv: Invalid data found when "
            "processing input"},
        // Placeholders inside the payload are text, not substituted again.
        DescriptionCase{AppError::ffprobeFailed("/v/%2 %1.avi", QStringLiteral("%1 rotto")),
                        "ffprobe non è riuscito ad analizzare %2 %1.avi: %1 rotto"},
        DescriptionCase{
            AppError::durationFailed("/v/clip.xyz", QStringLiteral("uno — fallback: due")),
            "uno — fallback: due"},
        DescriptionCase{
            AppError::ffprobeNotFound(),
            "ffprobe non trovato. Configura il percorso (es. /opt/homebrew/bin/ffprobe)."}));

TEST(DescribeErrorTest, PlatformErrorsKeepTheirOwnDescription)
{
    const std::error_code missing = std::make_error_code(std::errc::no_such_file_or_directory);
    EXPECT_EQ(
        describeError(std::make_exception_ptr(std::filesystem::filesystem_error("x", missing))),
        QString::fromStdString(missing.message()));
    EXPECT_EQ(describeError(std::make_exception_ptr(std::runtime_error("disco pieno"))),
              QStringLiteral("disco pieno"));
    EXPECT_FALSE(describeError(std::make_exception_ptr(42)).isEmpty());
}

} // namespace
} // namespace quillmark
