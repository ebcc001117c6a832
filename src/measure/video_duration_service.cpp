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

VideoDurationService::VideoDurationService(std::vector<Provider> providers)
    : m_providers(std::move(providers))
{
    Q_ASSERT(!m_providers.empty());
}

std::int64_t VideoDurationService::duration(const std::filesystem::path& file,
                                            std::stop_token stop) const
{
    // A FIFO or a device would block a provider forever, or feed it without end.
    requireRegularFile(file);
    QStringList failures;
    for (const Provider& provider : m_providers) {
        try {
            return wholeSeconds(file, provider->duration(file, stop));
        } catch (const MeasuringLimitReached&) {
            // The providers after it read with the same libraries: they would spend their own
            // time limits on the same endless file.
            throw;
        } catch (...) {
            if (m_providers.size() == 1)
                throw;
            failures.append(describeError(std::current_exception()));
        }
    }
    throw AppError::durationFailed(file, failures.join(QStringLiteral(" — fallback: ")));
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
