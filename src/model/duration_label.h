#pragma once

#include <QString>

#include <cstdint>

namespace quillmark {

// The one way the whole system writes a duration: whole hours, "h", two-digit minutes, "m",
// rounded to the nearest minute with half a minute rounding up ("1h05m"). Negative input is 0.
QString formatDuration(std::int64_t seconds);

} // namespace quillmark
