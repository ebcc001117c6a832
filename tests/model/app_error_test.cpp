#include "model/app_error.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <stdexcept>

namespace quillmark {
namespace {

// Each case's own wording is checked where the error is raised; here, what all share.
TEST(AppErrorTest, DescriptionIsWhatAndWhatDescribeErrorGivesForAnyError)
{
    // Placeholders inside the payload are text, not substituted again.
    const AppError error = AppError::ffprobeFailed("/v/%2 %1.avi", QStringLiteral("%1 rotto"));
    const QString description =
        QStringLiteral("ffprobe non è riuscito ad analizzare %2 %1.avi: %1 rotto");
    EXPECT_EQ(error.errorDescription(), description);
    EXPECT_EQ(QString::fromUtf8(error.what()), description);
    EXPECT_EQ(describeError(std::make_exception_ptr(error)), description);

    // Other errors keep their own words; file errors are in Italian while the interface is.
    EXPECT_EQ(describeError(std::make_exception_ptr(std::runtime_error("disco pieno"))),
              QStringLiteral("disco pieno"));
    EXPECT_EQ(describeError(std::make_exception_ptr(std::bad_alloc())),
              QStringLiteral("memoria insufficiente"));
    EXPECT_FALSE(describeError(std::make_exception_ptr(42)).isEmpty());
    const auto exists = std::make_exception_ptr(
        std::filesystem::filesystem_error("x", std::make_error_code(std::errc::file_exists)));
    QLocale::setDefault(QLocale(QLocale::Italian));
    EXPECT_EQ(describeError(exists),
              QStringLiteral("Esiste già un file o una cartella con questo nome"));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(describeError(exists), QStringLiteral("File exists"));
}

} // namespace
} // namespace quillmark
