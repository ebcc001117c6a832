#include "measure/libav_duration_provider.h"

#include "measure/media_probe.h"
#include "model/app_error.h"

#include <cmath>

namespace quillmark {

double LibavDurationProvider::duration(const std::filesystem::path& file,
                                       std::stop_token stop) const
{
    const std::optional<MediaProbe> probe = probeMedia(file, stop);
    if (!probe || !probe->playable || !probe->seconds)
        throw AppError::unsupportedFormat(file);
    const double seconds = *probe->seconds;
    if (!std::isfinite(seconds) || seconds < 0)
        throw AppError::unsupportedFormat(file);
    return seconds;
}

} // namespace quillmark
