#include "model/app_error.h"
#include "scan/avfoundation_duration_provider.h"
#include "support/app_error_of.h"
#include "support/media_corpus.h"
#include "support/param_name.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quillmark {
namespace {

using test::ffprobeSeconds;
using test::mediaCorpus;

class CorpusTest : public ::testing::TestWithParam<const char*> {};

// Every file gets exactly the whole seconds ffprobe gives, or fails where ffprobe fails.
TEST_P(CorpusTest, AgreesWithFFprobeToTheSecond)
{
    const std::filesystem::path file = mediaCorpus() / GetParam();
    const std::optional<double> expected = ffprobeSeconds(file);
    const AVFoundationDurationProvider provider;
    if (expected) {
        EXPECT_EQ(std::trunc(provider.duration(file)), std::trunc(*expected));
        return;
    }
    EXPECT_EQ(test::appErrorOf([&] { provider.duration(file); }),
              QStringLiteral("Formato non supportato da AVFoundation: ") +
                  QString::fromUtf8(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Files, CorpusTest,
                         ::testing::Values("index-at-end.mp4", "index-at-start.mp4", "clip.mkv",
                                           "minute.mov", "clip.flv", "clip.avi", "clip.f4v",
                                           "audio-only.mp4", "text.mp4", "zero.mkv",
                                           "truncated.mp4", "missing.mp4"),
                         [](const auto& info) { return test::paramName(info.param); });

} // namespace
} // namespace quillmark
