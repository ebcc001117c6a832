#include "measure/frame_rate_guess.h"

#include <cmath>
#include <numeric>

namespace quillmark {

namespace {

constexpr double tickSeconds = 1.0 / 90000.0;
constexpr int standardRates = 30 * 12 + 30 + 3 + 6;

// The standard rates, in frames per 12,012 seconds: every twelfth of a frame a second up to 30,
// whole rates to 60, three high ones, and the NTSC rates.
int standardRate(int i)
{
    if (i < 30 * 12)
        return (i + 1) * 1001;
    i -= 30 * 12;
    if (i < 30)
        return (i + 31) * 1001 * 12;
    i -= 30;
    static constexpr int high[] = {80, 120, 240};
    if (i < 3)
        return high[i] * 1001 * 12;
    static constexpr int ntsc[] = {24, 30, 60, 12, 15, 48};
    return ntsc[i - 3] * 1000 * 12;
}

FrameRate reduced(std::int64_t frames, std::int64_t seconds)
{
    const std::int64_t divisor = std::gcd(frames, seconds);
    return {frames / divisor, seconds / divisor};
}

} // namespace

FrameRateGuess::FrameRateGuess()
    : m_errors(standardRates)
{
}

void FrameRateGuess::add(std::int64_t decodingTicks)
{
    if (m_last && decodingTicks > *m_last) {
        const double seconds = double(decodingTicks) * tickSeconds;
        for (int i = 0; i < standardRates; ++i) {
            const double frames = seconds * standardRate(i) / (1001 * 12);
            for (int half = 0; half < 2; ++half) {
                const double error = frames - double(std::llrint(frames + half * 0.5)) + half * 0.5;
                m_errors[std::size_t(i)][std::size_t(2 * half)] += error;
                m_errors[std::size_t(i)][std::size_t(2 * half + 1)] += error * error;
            }
        }
        ++m_intervals;
        m_intervalTicks += decodingTicks - *m_last;
    }
    m_last = decodingTicks;
}

FrameRate FrameRateGuess::rate(FrameRate stated, std::int64_t analysedTicks) const
{
    if (m_intervals < 2)
        return reduced(stated.frames, stated.seconds);
    int best = 0;
    double bestError = 0.01;
    for (int i = 0; i < standardRates; ++i) {
        const int candidate = standardRate(i);
        if (analysedTicks && double(analysedTicks) * tickSeconds < (1001 * 11.5) / candidate)
            continue;
        if (!analysedTicks && candidate < 1001 * 12)
            continue;
        if (tickSeconds * double(m_intervalTicks) / m_intervals < (1001 * 12.0 * 0.8) / candidate)
            continue;
        for (int half = 0; half < 2; ++half) {
            const double mean = m_errors[std::size_t(i)][std::size_t(2 * half)] / m_intervals;
            const double error =
                m_errors[std::size_t(i)][std::size_t(2 * half + 1)] / m_intervals - mean * mean;
            if (error < bestError && bestError > 0.000000001) {
                bestError = error;
                best = candidate;
            }
        }
    }
    // A rate is only taken within 1% of the time base's, which 90 kHz always allows.
    if (best == 0)
        return reduced(stated.frames, stated.seconds);
    return reduced(best, 12 * 1001);
}

} // namespace quillmark
