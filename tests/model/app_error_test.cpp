#include "model/app_error.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

namespace quillmark {
namespace {

// Each case's own wording is checked where the error is raised; here, what all share.
TEST(AppErrorTest, DescriptionIsWhatAndWhatDescribeErrorGives)
{
    // Placeholders inside the payload are text, not substituted again.
    const AppError error = AppError::ffprobeFailed("/v/%2 %1.avi", QStringLiteral("%1 rotto"));
    const QString description =
        QStringLiteral("ffprobe non è riuscito ad analizzare %2 %1.avi: %1 rotto");
    EXPECT_EQ(error.errorDescription(), description);
    EXPECT_EQ(QString::fromUtf8(error.what()), description);
    EXPECT_EQ(describeError(std::make_exception_ptr(error)), description);
}

TEST(AppErrorTest, PlatformErrorsKeepTheirOwnDescription)
{
    const std::error_code missing = std::make_error_code(std::errc::no_such_file_or_directory);
    EXPECT_EQ(
        describeError(std::make_exception_ptr(std::filesystem::filesystem_error("x", missing))),
        QString::fromStdString(missing.message()));
    EXPECT_EQ(describeError(std::make_exception_ptr(std::runtime_error("disco pieno"))),
              QStringLiteral("disco pieno"));
    EXPECT_EQ(describeError(std::make_exception_ptr(std::bad_alloc())),
              QStringLiteral("memoria insufficiente"));
    EXPECT_FALSE(describeError(std::make_exception_ptr(42)).isEmpty());
}

TEST(AppErrorTest, FileErrorsSpeakItalianWithAnItalianInterface)
{
    QLocale::setDefault(QLocale(QLocale::Italian));
    const auto exists = std::make_exception_ptr(
        std::system_error(std::make_error_code(std::errc::file_exists), "renameat2"));
    EXPECT_EQ(describeError(exists),
              QStringLiteral("Esiste già un file o una cartella con questo nome"));
    QLocale::setDefault(QLocale(QLocale::English));
    EXPECT_EQ(describeError(exists), QStringLiteral("File exists"));
    QLocale::setDefault(QLocale::c());
}

} // namespace
} // namespace quillmark
