#include "measure/video_duration_service.h"
#include "model/app_error.h"
#include "support/app_error_of.h"
#include "support/fake_provider.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <stdexcept>
#include <tuple>

namespace quillmark {
namespace {

using test::FakeProvider;

std::shared_ptr<FakeProvider> returning(double seconds, std::atomic<int>* calls = nullptr)
{
    return std::make_shared<FakeProvider>([seconds, calls](const auto&, auto) {
        if (calls)
            ++*calls;
        return seconds;
    });
}

std::shared_ptr<FakeProvider> throwing(AppError error)
{
    return std::make_shared<FakeProvider>([error](const auto&, auto) -> double { throw error; });
}

TEST(VideoDurationServiceTest, TruncatesTowardZeroAndRefusesImpossibleDurations)
{
    for (const auto& [seconds, whole] : std::vector<std::pair<double, std::int64_t>>{
             {59.999, 59}, {0.0, 0}, {3.9, 3}, {1e300, INT64_MAX}}) {
        EXPECT_EQ(VideoDurationService({returning(seconds)}).duration("/v/a.mp4"), whole)
            << seconds;
    }
    // A crafted file's negative duration would cancel out real video in a total.
    for (const double seconds : {-0.7, -3600.0, std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        std::atomic<int> fallbackCalls = 0;
        EXPECT_EQ(VideoDurationService({returning(seconds), returning(7, &fallbackCalls)})
                      .duration("/v/a.mp4"),
                  7)
            << seconds;
        EXPECT_EQ(fallbackCalls, 1);
        EXPECT_THROW(VideoDurationService({returning(seconds)}).duration("/v/a.mp4"), AppError)
            << seconds;
    }
}

// The fallback is asked only when the primary fails; when both fail, both messages are kept.
TEST(VideoDurationServiceTest, FallbackOnlyAfterAFailure)
{
    const auto unsupported = throwing(AppError::unsupportedFormat("/v/a.mp4"));
    const auto platformError = std::make_shared<FakeProvider>(
        [](const auto&, auto) -> double { throw std::runtime_error("disco rotto"); });
    const std::vector<std::tuple<VideoDurationService, QString>> cases{
        {VideoDurationService({returning(10.5), unsupported}), QStringLiteral("10")},
        {VideoDurationService({unsupported, returning(42.9)}), QStringLiteral("42")},
        {VideoDurationService({unsupported}),
         QStringLiteral("Formato non supportato da AVFoundation: a.mp4")},
        {VideoDurationService(
             {unsupported, throwing(AppError::ffprobeFailed(
                               "/v/a.mp4", QStringLiteral("durata non disponibile")))}),
         QStringLiteral("Formato non supportato da AVFoundation: a.mp4 — fallback: ffprobe non è "
                        "riuscito ad analizzare a.mp4: durata non disponibile")},
        {VideoDurationService({platformError, throwing(AppError::ffprobeNotFound())}),
         QStringLiteral("disco rotto — fallback: ffprobe non trovato. Configura il percorso (es. "
                        "/opt/homebrew/bin/ffprobe).")}};
    for (const auto& [service, expected] : cases) {
        QString result;
        try {
            result = QString::number(service.duration("/v/a.mp4"));
        } catch (...) {
            result = describeError(std::current_exception());
        }
        EXPECT_EQ(result, expected);
    }
}

} // namespace
} // namespace quillmark
