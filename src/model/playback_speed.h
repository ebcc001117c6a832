#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace quillmark {

// The speeds a viewer may watch at, in hundredths: 100 is 1×.
inline constexpr std::array<int, 5> playbackSpeeds{100, 125, 150, 175, 200};

// The speed among playbackSpeeds, or 1× for anything else (a hand-edited setting).
int knownPlaybackSpeed(int hundredths);

// "1,5×" in Italian, "1.5×" in English: the interface language's decimal separator.
QString speedLabel(int hundredths);

// How long watching takes at a speed, to the nearest second.
std::int64_t secondsAtSpeed(std::int64_t seconds, int hundredths);

// "4h25m a 1,5×"; "≈ 4h25m a 1,5×" when the seconds are a sum of rounded labels.
QString watchTimeText(std::int64_t seconds, int hundredths, bool approximate);

// A total as shown, followed at any speed but 1× by the watch time of its seconds:
// "4h25m · 2h57m a 1,5×".
QString withWatchTime(const QString& total, std::int64_t seconds, int hundredths, bool approximate);

} // namespace quillmark
