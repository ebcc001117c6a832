#include "model/duration_label.h"

#include <limits>

namespace quillmark {

QString formatDuration(std::int64_t seconds)
{
    const std::int64_t s = seconds < 0 ? 0 : seconds;
    // Hours are at most INT64_MAX / 3600, so the carry below cannot overflow.
    std::int64_t hours = s / 3600;
    const std::int64_t remainder = s % 3600;
    std::int64_t minutes = remainder / 60;
    if (remainder % 60 >= 30)
        ++minutes;
    if (minutes == 60) {
        minutes = 0;
        ++hours;
    }
    return QString::number(hours) + QLatin1Char('h') +
           QString::number(minutes).rightJustified(2, QLatin1Char('0')) + QLatin1Char('m');
}

std::int64_t labelSeconds(const QString& label)
{
    const qsizetype h = label.indexOf(QLatin1Char('h'));
    if (h <= 0 || !label.endsWith(QLatin1Char('m')))
        return 0;
    bool hoursOk = false;
    bool minutesOk = false;
    const qint64 hours = label.left(h).toLongLong(&hoursOk);
    const qint64 minutes = label.mid(h + 1, label.size() - h - 2).toLongLong(&minutesOk);
    if (!hoursOk || !minutesOk || hours < 0 || minutes < 0 ||
        hours > std::numeric_limits<std::int64_t>::max() / 3600 / 2)
        return 0;
    return addSeconds(hours * 3600, minutes * 60);
}

std::int64_t addSeconds(std::int64_t a, std::int64_t b)
{
    std::int64_t sum = 0;
    if (!__builtin_add_overflow(a, b, &sum))
        return sum;
    return b > 0 ? std::numeric_limits<std::int64_t>::max()
                 : std::numeric_limits<std::int64_t>::min();
}

} // namespace quillmark
