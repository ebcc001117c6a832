#include "measure/video_timestamps.h"

#include "measure/header_window.h"

#include <limits>

namespace quillmark {

namespace {

constexpr std::int64_t ticksPerSecond = 90000;

// a × b ÷ c rounded to the nearest, halves away from zero, for a ≥ 0.
std::int64_t rescaled(std::int64_t a, std::int64_t b, std::int64_t c)
{
    return std::int64_t((__int128(a) * b + c / 2) / c);
}

// A timestamp one frame on, in ticks, as libavutil adds a duration that is not a whole number of
// ticks: from the frame grid the timestamp lies on.
std::int64_t oneFrameOn(std::int64_t ticks, FrameRate rate)
{
    const std::int64_t scaled = rate.seconds * ticksPerSecond;
    if (scaled % rate.frames == 0)
        return ticks + scaled / rate.frames;
    const std::int64_t frame = rescaled(ticks, rate.frames, scaled);
    const std::int64_t onGrid = rescaled(frame, scaled, rate.frames);
    return rescaled(frame + 1, scaled, rate.frames) + (ticks - onGrid);
}

std::int64_t orNone(std::optional<std::int64_t> ticks)
{
    return ticks.value_or(std::numeric_limits<std::int64_t>::min());
}

} // namespace

VideoTimestamps::Filled VideoTimestamps::fill(const MpegVideoFrame& frame, FrameRate rate,
                                              std::optional<std::int64_t> packetPts,
                                              std::optional<std::int64_t> packetDts)
{
    std::optional<std::int64_t> pts = frame.pts;
    std::optional<std::int64_t> dts = frame.dts;
    if (dts) {
        if (dts == pts && m_lastOrdered)
            ++(*m_lastOrdered <= *dts ? m_ordered : m_misordered);
        m_lastOrdered = dts;
        if (m_ordered < 8 * m_misordered && dts == pts)
            dts.reset();
    }
    if (frame.reorders)
        m_reorders = *frame.reorders;
    const bool bidirectional = frame.type == PictureType::bidirectional;
    if (bidirectional)
        m_reorders = true;
    bool delayed = m_reorders && !bidirectional;
    if (m_reorders && dts && dts == pts && delayed)
        dts.reset();
    const std::int64_t frameTicks = ticksPerSecond * rate.seconds / rate.frames;
    if (pts && dts && *pts > *dts)
        delayed = true;
    if (delayed) {
        if (!dts)
            dts = m_lastReferencePts;
        begin(dts, pts);
        if (!dts)
            dts = current();
        if (m_lastReferenceTicks == 0)
            m_lastReferenceTicks = frameTicks;
        m_currentDts = *dts + m_lastReferenceTicks;
        if (!pts && packetDts && packetPts && packetDts != packetPts &&
            std::uint64_t(*m_currentDts - *packetDts + 1) <= 2)
            pts = packetDts;
        m_lastReferenceTicks = frameTicks;
        m_lastReferencePts = pts;
    } else {
        if (!pts)
            pts = dts;
        begin(pts, pts);
        if (!pts)
            pts = current();
        dts = pts;
        m_currentDts = oneFrameOn(*pts, rate);
    }
    if (pts) {
        m_earlierPts = pts;
        if (m_reorders && orNone(m_earlierPts) > orNone(m_laterPts))
            std::swap(m_earlierPts, m_laterPts);
        if (!dts)
            dts = m_earlierPts;
    }
    if (dts && *dts > current())
        m_currentDts = dts;
    return {pts, dts};
}

// The first decoding time fixes the stream's timing, and its start at the presentation time.
void VideoTimestamps::begin(std::optional<std::int64_t> dts, std::optional<std::int64_t> pts)
{
    if (m_currentDts || !dts)
        return;
    m_currentDts = dts;
    m_start = pts;
}

std::int64_t VideoTimestamps::current() const
{
    if (!m_currentDts || !m_start)
        throw HeaderDeclined{}; // frames timed relative to one not yet placed
    return *m_currentDts;
}

} // namespace quillmark
