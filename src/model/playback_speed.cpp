#include "model/playback_speed.h"

#include "model/duration_label.h"

#include <QCoreApplication>

#include <algorithm>

namespace quillmark {

int knownPlaybackSpeed(int hundredths)
{
    return std::find(playbackSpeeds.begin(), playbackSpeeds.end(), hundredths) !=
                   playbackSpeeds.end()
               ? hundredths
               : 100;
}

QString speedLabel(int hundredths)
{
    QString number = QString::number(hundredths / 100);
    if (const int fraction = hundredths % 100) {
        QString decimals = QString::number(fraction).rightJustified(2, QLatin1Char('0'));
        while (decimals.endsWith(QLatin1Char('0')))
            decimals.chop(1);
        // The separator is part of the catalogue, so the number reads as the interface does.
        number += QCoreApplication::translate("PlaybackSpeed", ",") + decimals;
    }
    return number + QChar(0x00D7);
}

std::int64_t secondsAtSpeed(std::int64_t seconds, int hundredths)
{
    if (seconds <= 0 || hundredths <= 0)
        return 0;
    // Halves round up, as the labels do; seconds near the limit are divided first.
    if (seconds > INT64_MAX / 200)
        return seconds / hundredths * 100;
    return (seconds * 200 + hundredths) / (2 * std::int64_t(hundredths));
}

QString watchTimeText(std::int64_t seconds, int hundredths, bool approximate)
{
    const QString text =
        QCoreApplication::translate("PlaybackSpeed", "%1 a %2")
            .arg(formatDuration(secondsAtSpeed(seconds, hundredths)), speedLabel(hundredths));
    return approximate ? QStringLiteral("≈ ") + text : text;
}

QString withWatchTime(const QString& total, std::int64_t seconds, int hundredths, bool approximate)
{
    if (hundredths == 100)
        return total;
    return total + QStringLiteral(" · ") + watchTimeText(seconds, hundredths, approximate);
}

} // namespace quillmark
