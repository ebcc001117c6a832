#include "measure/video_duration_service.h"
#include "model/app_error.h"
#include "support/failure_of.h"
#include "support/fake_provider.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <stdexcept>
#include <tuple>

namespace quillmark {
namespace {

using test::FakeProvider;

// The providers are asked about a file that is open; these fakes never read it.
const std::filesystem::path file("/v/a.mp4");
const MediaFile opened{file, -1, 0};

std::shared_ptr<FakeProvider> returning(double seconds, std::atomic<int>* calls = nullptr)
{
    return std::make_shared<FakeProvider>([seconds, calls](const auto&, auto) {
        if (calls)
            ++*calls;
        return seconds;
    });
}

std::shared_ptr<FakeProvider> failing(FailureKind kind, const AppError& error)
{
    return std::make_shared<FakeProvider>([kind, error](const auto&, auto) -> Expected<double> {
        return Failure{kind, error.errorDescription()};
    });
}

TEST(VideoDurationServiceTest, TruncatesTowardZeroAndRefusesImpossibleDurations)
{
    for (const auto& [seconds, whole] : std::vector<std::pair<double, std::int64_t>>{
             {59.999, 59}, {0.0, 0}, {3.9, 3}, {1e300, INT64_MAX}}) {
        EXPECT_EQ(VideoDurationService({returning(seconds)}).duration(opened).value(), whole)
            << seconds;
    }
    // A crafted file's negative duration would cancel out real video in a total.
    for (const double seconds : {-0.7, -3600.0, std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        std::atomic<int> fallbackCalls = 0;
        EXPECT_EQ(VideoDurationService({returning(seconds), returning(7, &fallbackCalls)})
                      .duration(opened)
                      .value(),
                  7)
            << seconds;
        EXPECT_EQ(fallbackCalls, 1);
        EXPECT_EQ(test::failureOf(VideoDurationService({returning(seconds)}).duration(opened)).kind,
                  FailureKind::content)
            << seconds;
    }
}

// The fallback is asked only when the primary fails; when both fail, both messages are kept, and
// the failure lasts only if both do. A limit reached or a stop asks no further provider.
TEST(VideoDurationServiceTest, FallbackOnlyAfterAFailure)
{
    const auto unsupported = failing(FailureKind::content, AppError::unsupportedFormat("/v/a.mp4"));
    const auto unanalysed =
        failing(FailureKind::content,
                AppError::ffprobeFailed("/v/a.mp4", QStringLiteral("durata non disponibile")));
    const auto noTool = failing(FailureKind::system, AppError::ffprobeNotFound());
    const auto thrown = std::make_shared<FakeProvider>(
        [](const auto&, auto) -> Expected<double> { throw std::runtime_error("disco rotto"); });
    const auto outOfTime =
        std::make_shared<FakeProvider>([](const auto&, auto) -> Expected<double> {
            return Failure{FailureKind::timeLimit, QStringLiteral("troppo lento")};
        });
    const QString both =
        QStringLiteral("Formato non supportato da libavformat: a.mp4 — fallback: ffprobe non è "
                       "riuscito ad analizzare a.mp4: durata non disponibile");
    const struct {
        VideoDurationService service;
        QString expected;
        FailureKind kind = FailureKind::content;
    } cases[] = {
        {VideoDurationService({returning(10.5), unsupported}), QStringLiteral("10")},
        {VideoDurationService({unsupported, returning(42.9)}), QStringLiteral("42")},
        {VideoDurationService({unsupported}),
         QStringLiteral("Formato non supportato da libavformat: a.mp4")},
        {VideoDurationService({unsupported, unanalysed}), both},
        {VideoDurationService({thrown, noTool}),
         QStringLiteral("disco rotto — fallback: ffprobe non trovato. Configura il percorso (es. "
                        "/usr/bin/ffprobe)."),
         FailureKind::system},
        {VideoDurationService({outOfTime, returning(3)}), QStringLiteral("troppo lento"),
         FailureKind::timeLimit}};
    for (const auto& item : cases) {
        const Expected<std::int64_t> answer = item.service.duration(opened);
        EXPECT_EQ(answer ? QString::number(*answer) : answer.failure().message, item.expected);
        if (!answer) {
            EXPECT_EQ(answer.failure().kind, item.kind) << item.expected.toStdString();
        }
    }
}

} // namespace
} // namespace quillmark
