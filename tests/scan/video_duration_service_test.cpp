#include "model/app_error.h"
#include "scan/video_duration_service.h"
#include "support/app_error_of.h"
#include "support/fake_provider.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <stdexcept>

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
        EXPECT_EQ(VideoDurationService(returning(seconds)).duration("/v/a.mp4"), whole) << seconds;
    }
    // A crafted file's negative duration would cancel out real video in a total.
    for (const double seconds : {-0.7, -3600.0, std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        std::atomic<int> fallbackCalls = 0;
        EXPECT_EQ(VideoDurationService(returning(seconds), returning(7, &fallbackCalls))
                      .duration("/v/a.mp4"),
                  7)
            << seconds;
        EXPECT_EQ(fallbackCalls, 1);
        EXPECT_THROW(VideoDurationService(returning(seconds)).duration("/v/a.mp4"), AppError)
            << seconds;
    }
}

TEST(VideoDurationServiceTest, FallbackIsAskedOnlyWhenThePrimaryFails)
{
    std::atomic<int> fallbackCalls = 0;
    EXPECT_EQ(
        VideoDurationService(returning(10.5), returning(99, &fallbackCalls)).duration("/v/a.mp4"),
        10);
    EXPECT_EQ(fallbackCalls, 0);
    const auto primaryFails = throwing(AppError::unsupportedFormat("/v/a.mp4"));
    EXPECT_EQ(
        VideoDurationService(primaryFails, returning(42.9, &fallbackCalls)).duration("/v/a.mp4"),
        42);
    EXPECT_EQ(fallbackCalls, 1);
}

TEST(VideoDurationServiceTest, WithoutFallbackThePrimaryErrorPassesUnchanged)
{
    EXPECT_EQ(test::appErrorOf([] {
                  VideoDurationService(throwing(AppError::unsupportedFormat("/v/a.mp4")))
                      .duration("/v/a.mp4");
              }),
              QStringLiteral("Formato non supportato da AVFoundation: a.mp4"));
}

TEST(VideoDurationServiceTest, BothFailingCombineTheirMessages)
{
    const auto platformError = std::make_shared<FakeProvider>(
        [](const auto&, auto) -> double { throw std::runtime_error("disco rotto"); });
    const VideoDurationService service(
        throwing(AppError::unsupportedFormat("/v/clip.xyz")),
        throwing(AppError::ffprobeFailed("/v/clip.xyz", QStringLiteral("durata non disponibile"))));
    EXPECT_EQ(test::appErrorOf([&] { service.duration("/v/clip.xyz"); }),
              QStringLiteral("Formato non supportato da AVFoundation: clip.xyz — fallback: ffprobe "
                             "non è riuscito ad analizzare clip.xyz: durata non disponibile"));
    EXPECT_EQ(test::appErrorOf([&] {
                  VideoDurationService(platformError, throwing(AppError::ffprobeNotFound()))
                      .duration("/v/x");
              }),
              QStringLiteral("disco rotto — fallback: ffprobe non trovato. Configura il percorso "
                             "(es. /opt/homebrew/bin/ffprobe)."));
}

} // namespace
} // namespace quillmark
