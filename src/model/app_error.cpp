#include "model/app_error.h"

#include "model/path_text.h"

#include <QCoreApplication>

#include <new>
#include <system_error>

namespace quillmark {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("AppError", text);
}

template <class... Ts> struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

AppError::AppError(Case value)
    : m_case(std::move(value))
    , m_what(errorDescription().toUtf8())
{
}

AppError AppError::invalidFolder(QString message)
{
    return AppError(InvalidFolder{std::move(message)});
}

AppError AppError::unsupportedFormat(std::filesystem::path url)
{
    return AppError(UnsupportedFormat{std::move(url)});
}

AppError AppError::ffprobeFailed(std::filesystem::path url, QString message)
{
    return AppError(FfprobeFailed{std::move(url), std::move(message)});
}

AppError AppError::durationFailed(std::filesystem::path url, QString message)
{
    return AppError(DurationFailed{std::move(url), std::move(message)});
}

AppError AppError::ffprobeNotFound()
{
    return AppError(FfprobeNotFound{});
}

QString AppError::errorDescription() const
{
    return std::visit(
        Overloaded{
            [](const InvalidFolder& e) { return e.message; },
            [](const UnsupportedFormat& e) {
                return tr("Formato non supportato da AVFoundation: %1")
                    .arg(lastPathComponent(e.url));
            },
            [](const FfprobeFailed& e) {
                // One multi-argument arg() so that a "%2" inside the name is not substituted.
                return tr("ffprobe non è riuscito ad analizzare %1: %2")
                    .arg(lastPathComponent(e.url), e.message);
            },
            [](const DurationFailed& e) { return e.message; },
            [](const FfprobeNotFound&) {
                return tr(
                    "ffprobe non trovato. Configura il percorso (es. /opt/homebrew/bin/ffprobe).");
            },
        },
        m_case);
}

QString describeError(const std::exception& error)
{
    if (const auto* appError = dynamic_cast<const AppError*>(&error))
        return appError->errorDescription();
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return tr("memoria insufficiente");
    if (const auto* systemError = dynamic_cast<const std::system_error*>(&error))
        return QString::fromLocal8Bit(systemError->code().message());
    return QString::fromLocal8Bit(error.what());
}

QString describeError(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return describeError(e);
    } catch (...) {
        return QCoreApplication::translate("AppError", "Errore sconosciuto");
    }
}

} // namespace quillmark
