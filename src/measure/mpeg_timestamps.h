#pragma once

#include "measure/header_window.h"
#include "measure/probe_types.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillmark {

// What MPEG transport and program streams share in libavformat's estimate of their duration,
// in ticks of 90 kHz: timestamps that must not wrap, and a pass over the last timestamps.
constexpr std::int64_t mpegTicksPerSecond = 90000;
// libavformat estimates the end from the timestamps in this much of the file's end, then from
// twice as much when a stream found none there.
constexpr std::int64_t lastPassBytes = 250000;

// Throws HeaderDeclined for a timestamp libavformat could take for wrapped: the first one from
// 2^32 on, or any a minute or more before the first.
void requireUnwrapped(std::int64_t ticks, std::int64_t firstTicks);

// A stream's duration as the passes over the last timestamps find it.
struct LastTimestamp {
    std::optional<std::int64_t> duration;
    std::int64_t lastDuration = 0;
};

// One pass of libavformat's estimate from the last timestamps: packets read until their payloads
// reach the pass's bytes; each stream with a start takes the end of its packet's frame for its
// duration where that is longer, unless it jumped by a minute or more from the one before.
class LastPass {
public:
    explicit LastPass(std::int64_t firstTicks)
        : m_firstTicks(firstTicks)
    {
    }

    bool wantsMore() const { return m_read < lastPassBytes; }
    // A packet of a stream without timestamps, which counts towards the pass's bytes only.
    void skip(std::int64_t payloadBytes) { m_read += payloadBytes; }
    void read(std::int64_t payloadBytes, std::optional<std::int64_t> pts,
              std::optional<std::int64_t> start, std::int64_t frameTicks, LastTimestamp& stream);
    // Whether any timestamp counted.
    bool found() const { return m_found; }

private:
    std::int64_t m_firstTicks;
    std::int64_t m_read = 0;
    bool m_found = false;
};

struct StreamTiming {
    std::int64_t start = 0;
    std::optional<std::int64_t> duration;
};

// The streams combined from the earliest start to the latest end, as libavformat combines them;
// throws HeaderDeclined where a stream has no duration or none lasts. A data stream's start (a
// DVD's navigation) is the file's where it is less than a second before the others'.
MediaProbe combinedDuration(std::span<const StreamTiming> streams,
                            std::optional<std::int64_t> dataStart = std::nullopt);

// libavformat's estimate from the last timestamps: a pass over the last 250,000 bytes and, when a
// stream, analysed or not, has no duration after it, one from 500,000 bytes before the end, then
// the streams that have a start combined, with a data stream's start. `pass(offset)` reads one pass
// into the streams' `last` and says whether any timestamp counted; throws HeaderDeclined where none
// did.
template <typename Stream, typename Pass>
MediaProbe durationFromLastTimestamps(HeaderWindow& file, const std::vector<Stream>& streams,
                                      Pass pass,
                                      std::optional<std::int64_t> dataStart = std::nullopt)
{
    const std::int64_t firstPass = std::max<std::int64_t>(0, file.fileSize() - lastPassBytes);
    if (!pass(firstPass))
        throw HeaderDeclined{};
    if (firstPass > 0 && std::any_of(streams.begin(), streams.end(),
                                     [](const Stream& s) { return !s.last.duration; })) {
        file.readAhead(2 * lastPassBytes); // the whole stretch in one request
        pass(std::max<std::int64_t>(0, file.fileSize() - 2 * lastPassBytes));
    }
    std::vector<StreamTiming> timings;
    for (const Stream& stream : streams) {
        if (stream.start)
            timings.push_back({*stream.start, stream.last.duration});
    }
    return combinedDuration(timings, dataStart);
}

} // namespace quillmark
