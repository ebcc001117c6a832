#pragma once

#include <QLatin1String>
#include <QString>

#include <cstdint>

namespace quillmark {

// The label grammar: the one way the whole system writes a duration, and the pattern and the
// reading of what it writes.

// Whole hours, "h", two-digit minutes, "m", rounded to the nearest minute with half a minute
// rounding up ("1h05m"). Negative input is 0.
QString formatDuration(std::int64_t seconds);

// What a label looks like, as a pattern to put in others.
inline constexpr QLatin1String labelPattern(R"(\d+h\d{2}m)");

// The seconds a label stands for, "1h05m" being 3900; 0 for text that is not a label.
std::int64_t labelSeconds(const QString& label);

// A sum of seconds that stops at the largest value instead of overflowing: crafted files can
// claim durations near the limit, and a wrapped total would come out negative.
std::int64_t addSeconds(std::int64_t a, std::int64_t b);

} // namespace quillmark
