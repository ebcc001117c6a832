#include "measure/mpeg_timestamps.h"

#include "measure/header_window.h"

#include <algorithm>
#include <cstdlib>

namespace quillmark {

namespace {

constexpr std::int64_t minuteTicks = 60 * mpegTicksPerSecond;
constexpr std::int64_t latestFirstTicks = std::int64_t(1) << 32;

std::int64_t microseconds(std::int64_t ticks)
{
    const std::int64_t magnitude = ticks < 0 ? -ticks : ticks;
    const std::int64_t value = (magnitude * 100 + 4) / 9;
    return ticks < 0 ? -value : value;
}

} // namespace

void requireUnwrapped(std::int64_t ticks, std::int64_t firstTicks)
{
    if (firstTicks >= latestFirstTicks || ticks < firstTicks - minuteTicks)
        throw HeaderDeclined{};
}

void LastPass::read(std::int64_t payloadBytes, std::optional<std::int64_t> pts,
                    std::optional<std::int64_t> start, std::int64_t frameTicks,
                    LastTimestamp& stream)
{
    m_read += payloadBytes;
    if (!pts || !start)
        return;
    requireUnwrapped(*pts, m_firstTicks);
    m_found = true;
    const std::int64_t duration = *pts + frameTicks - *start;
    if (duration <= 0)
        return;
    if (!stream.duration || stream.lastDuration <= 0 ||
        (*stream.duration < duration && std::abs(duration - stream.lastDuration) < minuteTicks))
        stream.duration = duration;
    stream.lastDuration = duration;
}

MediaProbe combinedDuration(std::span<const StreamTiming> streams,
                            std::optional<std::int64_t> dataStart)
{
    std::int64_t earliest = 0;
    std::int64_t latest = 0;
    std::int64_t longest = 0;
    bool any = false;
    for (const StreamTiming& stream : streams) {
        if (!stream.duration)
            throw HeaderDeclined{};
        const std::int64_t start = microseconds(stream.start);
        const std::int64_t duration = microseconds(*stream.duration);
        earliest = any ? std::min(earliest, start) : start;
        latest = any ? std::max(latest, start + duration) : start + duration;
        longest = std::max(longest, duration);
        any = true;
    }
    if (dataStart && any) {
        const std::int64_t data = microseconds(*dataStart);
        if (data < earliest && earliest - data < 1000000)
            earliest = data;
    }
    const std::int64_t total = std::max(longest, latest - earliest);
    if (!any || total <= 0)
        throw HeaderDeclined{};
    return MediaProbe{true, double(total) / 1000000};
}

} // namespace quillmark
