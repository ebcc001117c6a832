#pragma once

#include "model/failure.h"

#include <QByteArray>
#include <QString>

#include <exception>
#include <filesystem>
#include <system_error>
#include <variant>

namespace quillmark {

// The system's own error type. Each case carries what its Italian description needs.
class AppError : public std::exception {
public:
    struct InvalidFolder {
        QString message;
    };
    struct UnsupportedFormat {
        std::filesystem::path file;
    };
    struct FfprobeFailed {
        std::filesystem::path file;
        QString message;
    };
    struct DurationFailed {
        std::filesystem::path file;
        QString message;
    };
    struct FfprobeNotFound {};

    using Case = std::variant<InvalidFolder, UnsupportedFormat, FfprobeFailed, DurationFailed,
                              FfprobeNotFound>;

    static AppError invalidFolder(QString message);
    static AppError unsupportedFormat(std::filesystem::path file);
    static AppError ffprobeFailed(std::filesystem::path file, QString message);
    static AppError durationFailed(std::filesystem::path file, QString message);
    static AppError ffprobeNotFound();

    // The localised, user-facing text of the error.
    QString errorDescription() const;
    const Case& value() const { return m_case; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    explicit AppError(Case value);

    Case m_case;
    QByteArray m_what;
};

// The text of any caught error: the description of an AppError, else the platform's own wording
// (in Italian for the usual file errors while the default locale is Italian: the interface's).
QString describeError(const std::exception& error);
QString describeError(const std::exception_ptr& error);
QString platformErrorDescription(const std::error_code& code);
// A caught error as a failure, where a layer turns what it threw into a value: an AppError is the
// file's own answer; a system call's error or a lack of memory passes; anything else is not
// trusted to last.
Failure failureOf(const std::exception_ptr& error);

} // namespace quillmark
