#pragma once

#include <QString>

#include <cstdint>

namespace quillmark {

// The one way the whole system writes a duration: whole hours, "h", two-digit minutes, "m",
// rounded to the nearest minute with half a minute rounding up ("1h05m"). Negative input is 0.
QString formatDuration(std::int64_t seconds);

// A sum of seconds that stops at the largest value instead of overflowing: crafted files can
// claim durations near the limit, and a wrapped total would come out negative.
std::int64_t addSeconds(std::int64_t a, std::int64_t b);

} // namespace quillmark
