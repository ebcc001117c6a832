#include "measure/libav_duration_provider.h"
#include "measure/media_probe.h"
#include "measure/video_duration_service.h"
#include "model/app_error.h"
#include "support/failure_of.h"
#include "support/media_corpus.h"
#include "support/param_name.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fcntl.h>
#include <sys/resource.h>

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
    const VideoDurationService provider({std::make_shared<LibavDurationProvider>()});
    if (expected) {
        EXPECT_EQ(provider.duration(file).value(), std::int64_t(std::trunc(*expected)));
        return;
    }
    // A file that is not there (any more) cannot be read now; any other is not media.
    const Failure failure = test::failureOf(provider.duration(file));
    const bool missing = !std::filesystem::exists(file);
    EXPECT_TRUE(failure.message.startsWith(
        (missing ? QStringLiteral("Impossibile leggere «%1»: ")
                 : QStringLiteral("Formato non supportato da libavformat: %1"))
            .arg(QString::fromUtf8(GetParam()))));
    EXPECT_EQ(failure.kind, missing ? FailureKind::system : FailureKind::content);
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
    const Expected<MediaProbe> quick = probeMedia(file);
    const Expected<MediaProbe> byContent = probeWithLibav(file);
    ASSERT_EQ(quick.hasValue(), byContent.hasValue());
    if (quick) {
        EXPECT_EQ(*quick, *byContent);
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
// is spent, with a message that says so: the bytes are the file's own answer, the time is not.
TEST(MediaProbeTest, ABudgetEndsAReadThatWouldNotEnd)
{
    const test::TempTree tree;
    const std::string header("RIFF\xf0\xff\xff\xff"
                             "AVI LIST\x44\0\0\0hdrlavih\x38\0\0\0",
                             32);
    const auto sparse = tree.file("sparse.avi", header + std::string(56, '\0'));
    std::filesystem::resize_file(sparse, 100LL << 30);
    const struct {
        ProbeBudget budget;
        const char* message;
        FailureKind kind;
    } cases[] = {{{4 << 20, std::chrono::seconds(20)},
                  "«sparse.avi» non dice la sua durata nei primi 4 MiB e non viene letto oltre.",
                  FailureKind::sizeLimit},
                 {{1LL << 40, std::chrono::milliseconds(0)},
                  "«sparse.avi» non dice la sua durata in 0 secondi e non viene letto oltre.",
                  FailureKind::timeLimit}};
    for (const auto& item : cases) {
        const Failure failure = test::failureOf(probeMedia(sparse, {}, item.budget));
        EXPECT_EQ(failure.message, QString::fromUtf8(item.message));
        EXPECT_EQ(failure.kind, item.kind);
    }
}

// A file that cannot be opened now, for want of a descriptor, says nothing of the file.
TEST(MediaProbeTest, AFileThatCannotBeOpenedNowFailsForTheMoment)
{
#if defined(__SANITIZE_ADDRESS__)
    // UndefinedBehaviorSanitizer probes memory through a pipe: without a free descriptor it
    // takes every object for one of the wrong type.
    GTEST_SKIP() << "the sanitizers need the descriptors this test takes away";
#endif
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    rlim_t lowestFree = 0;
    while (::fcntl(int(lowestFree), F_GETFD) != -1)
        ++lowestFree;
    const rlimit none{lowestFree, limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &none), 0);
    const Expected<MediaProbe> probe = probeMedia(mediaCorpus() / "index-at-end.mp4");
    ::setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_EQ(test::failureOf(probe).kind, FailureKind::system);
}

} // namespace
} // namespace quillmark
