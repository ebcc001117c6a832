#include "measure/libav_duration_provider.h"

#include "measure/media_probe.h"
#include "model/app_error.h"

#include <cmath>

namespace quillmark {

Expected<double> LibavDurationProvider::duration(const MediaFile& file, std::stop_token stop) const
{
    const Expected<MediaProbe> probe = probeMedia(file, stop);
    if (!probe)
        return probe.failure();
    if (!probe->playable || !probe->seconds || !std::isfinite(*probe->seconds) ||
        *probe->seconds < 0)
        return Failure{FailureKind::content,
                       AppError::unsupportedFormat(file.path).errorDescription()};
    return *probe->seconds;
}

} // namespace quillmark
