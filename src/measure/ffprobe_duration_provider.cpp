#include "measure/ffprobe_duration_provider.h"

#include "measure/media_probe.h"
#include "model/app_error.h"
#include "model/path_text.h"
#include "platform/child_process.h"
#include "platform/executable.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <sys/stat.h>

namespace quillmark {

namespace {

// Strictly decoded: output that is not valid UTF-8 counts as no output.
QString decodedAndTrimmed(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return decoder.hasError() ? QString() : text.trimmed();
}

// The tool's messages name the part that wrote them with its address in memory ("[mov,mp4 @
// 0x55d0c4a8]"), which differs from one run to the next: without it, the same file always gives
// the same report.
QString withoutAddresses(QString message)
{
    static const QRegularExpression address(QStringLiteral(R"(\[([^\]\n@]*) @ 0x[0-9a-fA-F]+\])"));
    return message.replace(address, QStringLiteral("[\\1]"));
}

double strtodInCLocale(const char* text, char** end)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(text, end, cLocale);
}

// The tool reads only the file it is given, the one that was opened and checked to be a regular
// file, as its descriptor 3: a name swapped meanwhile for a FIFO cannot keep it waiting. A
// playlist or a concatenation script named like a video would have it open a film outside the
// folder, or a FIFO.
const std::string passedFile = "/dev/fd/" + std::to_string(passedDescriptor);

std::vector<std::string> ffprobeArguments()
{
    return {"-v",
            "error",
            "-show_entries",
            "format=duration",
            "-of",
            "default=noprint_wrappers=1:nokey=1",
            "-format_whitelist",
            selfContainedFormats,
            "-protocol_whitelist",
            "file",
            passedFile};
}

// The whole text as one number, as strtod reads it in the C locale; nothing unless finite.
std::optional<double> parseFFprobeNumber(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    if (bytes.isEmpty())
        return std::nullopt;
    char* end = nullptr;
    const double value = strtodInCLocale(bytes.constData(), &end);
    if (end != bytes.constData() + bytes.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

FFprobeDurationProvider::FFprobeDurationProvider(std::optional<std::filesystem::path> executable,
                                                 std::chrono::milliseconds timeLimit,
                                                 int maxRunning)
    : m_executable(std::move(executable))
    , m_timeLimit(timeLimit)
    , m_running(std::make_shared<std::counting_semaphore<>>(std::max(maxRunning, 1)))
{
}

Expected<double> FFprobeDurationProvider::duration(const MediaFile& media,
                                                   std::stop_token stop) const
{
    const std::filesystem::path& file = media.path;
    // Checked on every call: the tool may have gone since start-up.
    if (!m_executable || !isExecutableFile(*m_executable))
        return Failure{FailureKind::system, AppError::ffprobeNotFound().errorDescription()};
    auto failed = [&file](FailureKind kind, const QString& message) {
        return Failure{kind, AppError::ffprobeFailed(file, message).errorDescription()};
    };
    const QString stopped = QCoreApplication::translate("FFprobe", "interrotto");

    // A turn to run the tool, given up when the run is stopped meanwhile.
    while (!m_running->try_acquire_for(std::chrono::milliseconds(100))) {
        if (stop.stop_requested())
            return failed(FailureKind::stopped, stopped);
    }
    const std::unique_ptr<std::counting_semaphore<>, void (*)(std::counting_semaphore<>*)> turn(
        m_running.get(), [](std::counting_semaphore<>* running) { running->release(); });
    ChildOutput output;
    try {
        output = runChildProcess(*m_executable, ffprobeArguments(), stop, m_timeLimit, media.fd);
    } catch (const std::system_error& error) {
        // No process, pipe or descriptor to spare: the system's state, not the file's.
        return failed(FailureKind::system, describeError(error));
    }

    if (output.timedOut)
        return failed(
            FailureKind::timeLimit,
            QCoreApplication::translate("FFprobe", "nessuna risposta entro %1 secondi")
                .arg(std::chrono::duration_cast<std::chrono::seconds>(m_timeLimit).count()));
    if (stop.stop_requested())
        return failed(FailureKind::stopped, stopped);
    if (output.exitStatus == 0 && !output.standardOutputOverflowed) {
        const auto seconds = parseFFprobeNumber(decodedAndTrimmed(output.standardOutput));
        // A negative duration is no measurement, whatever the tool printed.
        if (seconds && *seconds >= 0)
            return *seconds;
    }
    // The tool names the file by the descriptor it read: the messages name it as the user does.
    const QString message = withoutAddresses(decodedAndTrimmed(output.standardError))
                                .replace(QString::fromStdString(passedFile), pathText(file));
    // The tool answers with 0 or 1; any other end (a signal, a program that could not be loaded
    // for want of memory) says nothing about the file.
    const bool toolAnswered = output.exitStatus == 0 || output.exitStatus == 1;
    return failed(toolAnswered ? FailureKind::content : FailureKind::system,
                  message.isEmpty()
                      ? QCoreApplication::translate("FFprobe", "durata non disponibile")
                      : message);
}

QString FFprobeDurationProvider::identity() const
{
    struct stat info {};
    if (!m_executable || ::stat(m_executable->c_str(), &info) != 0)
        return QStringLiteral("ffprobe: none");
    return QStringLiteral("ffprobe: %1 %2.%3")
        .arg(QString::fromStdString(m_executable->native()))
        .arg(info.st_mtim.tv_sec)
        .arg(info.st_mtim.tv_nsec);
}

std::optional<std::filesystem::path> locateFFprobe()
{
    for (const char* candidate : {"/usr/local/bin/ffprobe", "/usr/bin/ffprobe"}) {
        if (isExecutableFile(candidate))
            return std::filesystem::path(candidate);
    }
    return std::nullopt;
}

} // namespace quillmark
