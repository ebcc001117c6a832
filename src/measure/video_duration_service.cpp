#include "measure/video_duration_service.h"

#include "measure/ffprobe_duration_provider.h"
#include "measure/libav_duration_provider.h"
#include "measure/media_probe.h"
#include "model/app_error.h"
#include "platform/regular_file.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

#include <cmath>
#include <limits>

namespace quillmark {

namespace {

// A negative or endless duration from a damaged or crafted file would cancel out or swamp the
// real ones in a total: it counts as a failed measurement.
Expected<std::int64_t> wholeSeconds(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0)
        return Failure{FailureKind::content,
                       QCoreApplication::translate("FFprobe", "durata non disponibile")};
    // Far outside any real duration, but a cast of such a value would be undefined.
    constexpr double limit = 9.2e18;
    if (seconds >= limit)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(std::trunc(seconds));
}

// What a provider says, whatever it throws on its way.
Expected<std::int64_t> ask(const MediaDurationProvider& provider, const MediaFile& file,
                           std::stop_token stop)
{
    try {
        const Expected<double> answer = provider.duration(file, std::move(stop));
        return answer ? wholeSeconds(*answer) : Expected<std::int64_t>(answer.failure());
    } catch (...) {
        return failureOf(std::current_exception());
    }
}

} // namespace

VideoDurationService::VideoDurationService(std::vector<Provider> providers)
    : m_providers(std::move(providers))
{
    Q_ASSERT(!m_providers.empty());
}

VideoDurationService::Measured VideoDurationService::measure(const std::filesystem::path& file,
                                                             std::stop_token stop,
                                                             bool listedRegular) const
{
    OpenFile opened;
    try {
        opened = openRegularFile(file, listedRegular);
    } catch (const NotRegularFileError& error) {
        return {Failure{FailureKind::content, QString::fromStdString(error.what())}, std::nullopt};
    } catch (const std::system_error& error) {
        return {readFailure(file, error.code().value()), std::nullopt};
    }
    return {duration(MediaFile{file, opened.fd.get(), std::int64_t(opened.info.st_size)},
                     std::move(stop)),
            stampOf(opened.info)};
}

Expected<std::int64_t> VideoDurationService::duration(const MediaFile& media,
                                                      std::stop_token stop) const
{
    const std::filesystem::path& file = media.path;
    QStringList messages;
    FailureKind kind = FailureKind::content;
    for (const Provider& provider : m_providers) {
        Expected<std::int64_t> answer = ask(*provider, media, stop);
        if (answer)
            return answer;
        const Failure& failure = answer.failure();
        // The providers after a limit read with the same libraries: they would spend their own
        // limits on the same endless file. After a stop nothing more is asked.
        if (m_providers.size() == 1 || failure.isLimit() || failure.kind == FailureKind::stopped)
            return answer;
        messages.append(failure.message);
        kind = morePassing(kind, failure.kind);
    }
    return Failure{kind,
                   AppError::durationFailed(file, messages.join(QStringLiteral(" — fallback: ")))
                       .errorDescription()};
}

QString VideoDurationService::failureContext() const
{
    QStringList context;
    for (const Provider& provider : m_providers)
        context.append(provider->identity());
    context.append(QLocale().name());
    context.append(QCoreApplication::translate("FFprobe", "durata non disponibile"));
    return context.join(QLatin1Char('|'));
}

VideoDurationService
makeVideoDurationService(const std::optional<std::filesystem::path>& ffprobePath)
{
    return VideoDurationService(
        {std::make_shared<LibavDurationProvider>(),
         std::make_shared<FFprobeDurationProvider>(ffprobePath ? ffprobePath : locateFFprobe())});
}

} // namespace quillmark
