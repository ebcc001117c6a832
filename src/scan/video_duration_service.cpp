#include "scan/video_duration_service.h"

#include "model/app_error.h"
#include "platform/media_probe.h"
#include "platform/regular_file.h"
#include "scan/libav_duration_provider.h"
#include "scan/ffprobe_duration_provider.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>
#include <limits>

namespace quillmark {

namespace {

// A negative or endless duration from a damaged or crafted file would cancel out or swamp the
// real ones in a total: it counts as a failed measurement.
std::int64_t wholeSeconds(const std::filesystem::path& file, double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0)
        throw AppError::durationFailed(
            file, QCoreApplication::translate("FFprobe", "durata non disponibile"));
    // Far outside any real duration, but a cast of such a value would be undefined.
    constexpr double limit = 9.2e18;
    if (seconds >= limit)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(std::trunc(seconds));
}

} // namespace

VideoDurationService::VideoDurationService(std::shared_ptr<const MediaDurationProvider> primary,
                                           std::shared_ptr<const MediaDurationProvider> fallback)
    : m_primary(std::move(primary))
    , m_fallback(std::move(fallback))
{
}

std::int64_t VideoDurationService::duration(const std::filesystem::path& file,
                                            std::stop_token stop) const
{
    // A FIFO or a device would block a provider forever, or feed it without end.
    requireRegularFile(file);
    std::exception_ptr primaryError;
    try {
        return wholeSeconds(file, m_primary->duration(file, stop));
    } catch (const MeasuringLimitReached&) {
        // The fallback reads with the same libraries: it would spend its own time limit on the
        // same endless file.
        throw;
    } catch (...) {
        if (!m_fallback)
            throw;
        primaryError = std::current_exception();
    }
    try {
        return wholeSeconds(file, m_fallback->duration(file, stop));
    } catch (...) {
        throw AppError::durationFailed(file, describeError(primaryError) +
                                                 QStringLiteral(" — fallback: ") +
                                                 describeError(std::current_exception()));
    }
}

QString VideoDurationService::failureContext() const
{
    return m_primary->identity() + QLatin1Char('|') +
           (m_fallback ? m_fallback->identity() : QString()) + QLatin1Char('|') + QLocale().name() +
           QLatin1Char('|') + QCoreApplication::translate("FFprobe", "durata non disponibile");
}

VideoDurationService
makeVideoDurationService(const std::optional<std::filesystem::path>& ffprobePath)
{
    return VideoDurationService(
        std::make_shared<LibavDurationProvider>(),
        std::make_shared<FFprobeDurationProvider>(ffprobePath ? ffprobePath : locateFFprobe()));
}

} // namespace quillmark
