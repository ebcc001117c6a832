#include "model/app_error.h"

#include "model/path_text.h"

#include <QCoreApplication>
#include <QLocale>

#include <cerrno>
#include <new>
#include <system_error>

namespace quillmark {

namespace {

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

AppError AppError::unsupportedFormat(std::filesystem::path file)
{
    return AppError(UnsupportedFormat{std::move(file)});
}

AppError AppError::ffprobeFailed(std::filesystem::path file, QString message)
{
    return AppError(FfprobeFailed{std::move(file), std::move(message)});
}

AppError AppError::durationFailed(std::filesystem::path file, QString message)
{
    return AppError(DurationFailed{std::move(file), std::move(message)});
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
                return QCoreApplication::translate("AppError",
                                                   "Formato non supportato da libavformat: %1")
                    .arg(lastPathComponent(e.file));
            },
            [](const FfprobeFailed& e) {
                // One multi-argument arg() so that a "%2" inside the name is not substituted.
                return QCoreApplication::translate("AppError",
                                                   "ffprobe non è riuscito ad analizzare %1: %2")
                    .arg(lastPathComponent(e.file), e.message);
            },
            [](const DurationFailed& e) { return e.message; },
            [](const FfprobeNotFound&) {
                return QCoreApplication::translate(
                    "AppError",
                    "ffprobe non trovato. Configura il percorso (es. /usr/bin/ffprobe).");
            },
        },
        m_case);
}

QString describeError(const std::exception& error)
{
    if (const auto* appError = dynamic_cast<const AppError*>(&error))
        return appError->errorDescription();
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return QCoreApplication::translate("AppError", "memoria insufficiente");
    if (const auto* systemError = dynamic_cast<const std::system_error*>(&error))
        return platformErrorDescription(systemError->code());
    return QString::fromLocal8Bit(error.what());
}

QString platformErrorDescription(const std::error_code& code)
{
    const bool errnoValue =
        code.category() == std::generic_category() || code.category() == std::system_category();
    if (errnoValue && QLocale().language() == QLocale::Italian) {
        switch (code.value()) {
        case ENOENT:
            return QStringLiteral("File o cartella inesistente");
        case EEXIST:
            return QStringLiteral("Esiste già un file o una cartella con questo nome");
        case EACCES:
        case EPERM:
            return QStringLiteral("Permesso negato");
        case EROFS:
            return QStringLiteral("File system in sola lettura");
        case ENOSPC:
            return QStringLiteral("Spazio esaurito sul disco");
        case ENAMETOOLONG:
            return QStringLiteral("Nome troppo lungo");
        case ENOTDIR:
            return QStringLiteral("Non è una cartella");
        case EISDIR:
            return QStringLiteral("È una cartella");
        case EBUSY:
            return QStringLiteral("Risorsa occupata");
        case EXDEV:
            return QStringLiteral("Non si può spostare tra dischi diversi");
        case ENOTEMPTY:
            return QStringLiteral("La cartella non è vuota");
        case EIO:
            return QStringLiteral("Errore di lettura o scrittura sul disco");
        case EMLINK:
            return QStringLiteral("Troppi collegamenti");
        case EDQUOT:
            return QStringLiteral("Quota del disco superata");
        case ELOOP:
            return QStringLiteral("Troppi livelli di collegamenti simbolici");
        case EMFILE:
            return QStringLiteral("Troppi file aperti");
        case ENFILE:
            return QStringLiteral("Troppi file aperti nel sistema");
        case ENOMEM:
            return QStringLiteral("Memoria insufficiente");
        }
    }
    return QString::fromLocal8Bit(code.message());
}

QString describeError(const std::exception_ptr& error)
{
    const QString unknown = QCoreApplication::translate("AppError", "Errore sconosciuto");
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        // A failure always says something: a report line with an empty message would not read
        // back as a failure.
        const QString description = describeError(e);
        return description.isEmpty() ? unknown : description;
    } catch (...) {
        return unknown;
    }
}

Failure failureOf(const std::exception_ptr& error)
{
    FailureKind kind = FailureKind::system;
    try {
        std::rethrow_exception(error);
    } catch (const AppError&) {
        kind = FailureKind::content;
    } catch (...) {
    }
    return Failure{kind, describeError(error)};
}

} // namespace quillmark
