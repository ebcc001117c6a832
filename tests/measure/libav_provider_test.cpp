#include "measure/libav_duration_provider.h"
#include "measure/media_probe.h"
#include "model/app_error.h"
#include "support/app_error_of.h"
#include "support/media_corpus.h"
#include "support/param_name.h"
#include "support/temp_tree.h"

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
    const LibavDurationProvider provider;
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

void expectSameProbe(const std::filesystem::path& file)
{
    SCOPED_TRACE(file.filename().native());
    const std::optional<MediaProbe> quick = probeMedia(file);
    const std::optional<MediaProbe> byContent = probeWithLibav(file);
    ASSERT_EQ(quick.has_value(), byContent.has_value());
    if (quick) {
        EXPECT_EQ(quick->playable, byContent->playable);
        EXPECT_EQ(quick->seconds, byContent->seconds);
    }
}

// The quick ways (the MP4 header reader, the demuxer an extension names) give exactly what
// libavformat gives by content, also when the extension lies.
TEST(MediaProbeTest, QuickWaysAgreeWithReadingByContent)
{
    for (const auto& entry : std::filesystem::directory_iterator(mediaCorpus()))
        expectSameProbe(entry.path());
    const test::TempTree tree;
    for (const auto& [corpusFile, name] : {std::pair{"clip.mkv", "lies.avi"},
                                           {"clip.avi", "lies.mkv"},
                                           {"index-at-end.mp4", "lies.webm"},
                                           {"clip.flv", "named.mkv"}}) {
        test::copyMedia(corpusFile, tree.path(name));
        expectSameProbe(tree.path(name));
    }
}

// A file that would be read to no end (an AVI header before a hundred sparse gigabytes, which
// has no index, so the demuxer scans the zeros) fails once the probe's budget of bytes or of time
// is spent, with a message that says so.
TEST(MediaProbeTest, ABudgetEndsAReadThatWouldNotEnd)
{
    const test::TempTree tree;
    const std::string header("RIFF\xf0\xff\xff\xff"
                             "AVI LIST\x44\0\0\0hdrlavih\x38\0\0\0",
                             32);
    const auto sparse = tree.file("sparse.avi", header + std::string(56, '\0'));
    std::filesystem::resize_file(sparse, 100LL << 30);
    for (const auto& [budget, message] :
         {std::pair{ProbeBudget{4 << 20, std::chrono::seconds(20)},
                    "«sparse.avi» non dice la sua durata nei primi 4 MiB e non viene letto oltre."},
          std::pair{ProbeBudget{1LL << 40, std::chrono::milliseconds(0)},
                    "«sparse.avi» non dice la sua durata in 0 secondi e non viene letto oltre."}}) {
        try {
            probeMedia(sparse, {}, budget);
            ADD_FAILURE() << "measured";
        } catch (const MeasuringLimitReached& error) {
            EXPECT_EQ(QString::fromStdString(error.what()), QString::fromUtf8(message));
        }
    }
}

} // namespace
} // namespace quillmark
