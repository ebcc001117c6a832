#include "measure/ffprobe_duration_provider.h"
#include "measure/media_probe.h"
#include "model/app_error.h"
#include "platform/regular_file.h"
#include "support/failure_of.h"
#include "support/media_corpus.h"
#include "support/param_name.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <thread>

namespace quillmark {
namespace {

using test::TempTree;

// The tool is given the file it is asked about, opened: so the file must be there.
const std::filesystem::path& clipFile()
{
    static const TempTree tree;
    static const std::filesystem::path clip = tree.file("Viaggi/clip.avi", "AVI");
    return clip;
}

// What the provider says of the file, opened as a run opens it.
Expected<double> measured(const FFprobeDurationProvider& provider,
                          const std::filesystem::path& file, std::stop_token stop = {})
{
    const OpenFile opened = openRegularFile(file);
    return provider.duration(MediaFile{file, opened.fd.get(), std::int64_t(opened.info.st_size)},
                             std::move(stop));
}

// A stand-in for ffprobe: a shell script with the given body.
std::filesystem::path fakeFFprobe(const TempTree& tree, const std::string& body)
{
    const std::filesystem::path script = tree.file("ffprobe", "#!/bin/sh\n" + body + "\n");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    return script;
}

QString failureOf(const FFprobeDurationProvider& provider)
{
    return test::failureOf(measured(provider, clipFile())).message;
}

FailureKind kindOf(const FFprobeDurationProvider& provider, std::stop_token stop = {})
{
    return test::failureOf(measured(provider, clipFile(), stop)).kind;
}

struct ScriptCase {
    const char* name;
    const char* body;
    std::optional<double> seconds;
    const char* description; // when it fails
    FailureKind kind = FailureKind::content;
};

class FFprobeScriptTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(FFprobeScriptTest, ReadsOneNumberOrReportsStandardError)
{
    const TempTree tree;
    const FFprobeDurationProvider provider(fakeFFprobe(tree, GetParam().body));
    if (GetParam().seconds) {
        EXPECT_DOUBLE_EQ(measured(provider, clipFile()).value(), *GetParam().seconds);
        return;
    }
    EXPECT_EQ(failureOf(provider), QString::fromUtf8(GetParam().description));
    EXPECT_EQ(kindOf(provider), GetParam().kind);
}

const char* const unavailable =
    "ffprobe non è riuscito ad analizzare clip.avi: durata non disponibile";

INSTANTIATE_TEST_SUITE_P(
    Outputs, FFprobeScriptTest,
    ::testing::Values(
        ScriptCase{"number", "echo 12.480000", 12.48, nullptr},
        ScriptCase{"blanks around", "printf ' \\t 12.5 \\r\\n\\n'", 12.5, nullptr},
        ScriptCase{"trailing text", "echo 1.5abc", std::nullopt, unavailable},
        ScriptCase{"not available", "echo N/A", std::nullopt, unavailable},
        ScriptCase{"output that is not UTF-8", "printf '12\\377'", std::nullopt, unavailable},
        ScriptCase{"number but exit 1", "echo 5; exit 1", std::nullopt, unavailable},
        // A tool that did not end by itself, or could not be loaded, said nothing of the file.
        ScriptCase{"killed by a signal", "kill -9 $$", std::nullopt, unavailable,
                   FailureKind::system},
        ScriptCase{"could not load its libraries", "exit 127", std::nullopt, unavailable,
                   FailureKind::system},
        ScriptCase{"exit 1 with message", "echo 'clip.avi: Invalid data' >&2; exit 1", std::nullopt,
                   "ffprobe non è riuscito ad analizzare clip.avi: clip.avi: Invalid data"},
        ScriptCase{"two numbers on two lines", "printf '1.5\\n2.5\\n'; echo ' uno\\n due ' >&2",
                   std::nullopt, "ffprobe non è riuscito ad analizzare clip.avi: uno\n due"},
        ScriptCase{"a message without the addresses that change from run to run",
                   "echo '[mov,mp4 @ 0x55d0c4a8] moov atom not found' >&2; exit 1", std::nullopt,
                   "ffprobe non è riuscito ad analizzare clip.avi: [mov,mp4] moov atom not found"}),
    [](const auto& info) { return test::paramName(info.param.name); });

// The fixed arguments, the formats that only read themselves, and the file as the descriptor
// that was opened and checked, whatever its name; the tool's messages name it as the user does.
TEST(FFprobeProviderTest, PassesTheFileItCheckedAsAnOpenDescriptor)
{
    const TempTree tree;
    const auto file = tree.file("caf\xe9 (1).mp4", "contenuto");
    const std::string log = tree.path("arguments").native();
    const FFprobeDurationProvider provider(fakeFFprobe(
        tree, "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + log +
                  "'; cat \"${11}\" >> '" + log + "'; echo \"${11}: non va\" >&2; exit 1"));
    EXPECT_EQ(test::failureOf(measured(provider, file)).message,
              QStringLiteral("ffprobe non è riuscito ad analizzare caf\uFFFD (1).mp4: ") +
                  QString::fromStdString(tree.root().native()) +
                  QStringLiteral("/caf\uFFFD (1).mp4: non va"));
    EXPECT_EQ(test::contents(log), std::string("-v\nerror\n-show_entries\nformat=duration\n-of\n"
                                               "default=noprint_wrappers=1:nokey=1\n"
                                               "-format_whitelist\n") +
                                       selfContainedFormats +
                                       "\n-protocol_whitelist\nfile\n/dev/fd/3\ncontenuto");
}

// A name swapped for a FIFO after the check is not what the tool reads: it reads the file that
// was checked, and answers at once instead of waiting on the FIFO until its time is up.
TEST(FFprobeProviderTest, ANameSwappedAfterTheCheckIsNotWhatTheToolReads)
{
    const TempTree tree;
    const auto film = tree.path("film.avi");
    test::copyMedia("clip.avi", film);
    const FFprobeDurationProvider provider(std::filesystem::path("/usr/bin/ffprobe"),
                                           std::chrono::seconds(20), 1);
    const OpenFile opened = openRegularFile(film);
    std::filesystem::rename(film, tree.path("moved.avi"));
    ASSERT_EQ(::mkfifo(film.c_str(), 0600), 0);
    const auto started = std::chrono::steady_clock::now();
    const Expected<double> seconds =
        provider.duration(MediaFile{film, opened.fd.get(), std::int64_t(opened.info.st_size)});
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    ASSERT_TRUE(seconds) << test::failureOf(seconds).message.toStdString();
    EXPECT_EQ(std::trunc(*seconds), std::trunc(*test::ffprobeSeconds(tree.path("moved.avi"))));
}

TEST(FFprobeProviderTest, DrainsMoreOutputThanAPipeHolds)
{
    const TempTree tree;
    // 2 MiB on each stream, written interleaved, then a failure status.
    const FFprobeDurationProvider provider(
        fakeFFprobe(tree, "i=0; while [ $i -lt 32 ]; do head -c 65536 /dev/zero | tr '\\0' o; "
                          "head -c 65536 /dev/zero | tr '\\0' e >&2; i=$((i+1)); done; exit 3"));
    const QString description = failureOf(provider);
    EXPECT_EQ(description.size(),
              QStringLiteral("ffprobe non è riuscito ad analizzare clip.avi: ").size() +
                  2 * 1024 * 1024);
    EXPECT_TRUE(description.endsWith(QStringLiteral("eeee")));
}

// None of these may hold up a run: each would otherwise wait for the sleep to end. (That a
// killed program takes its tool with it is seen from the command line's interrupted runs.)
TEST(FFprobeProviderTest, AToolThatLingersCannotHoldUpARun)
{
    const TempTree tree;
    const FFprobeDurationProvider hangs(fakeFFprobe(tree, "exec sleep 600"),
                                        std::chrono::seconds(2));
    EXPECT_EQ(failureOf(hangs),
              QStringLiteral("ffprobe non è riuscito ad analizzare clip.avi: nessuna risposta "
                             "entro 2 secondi"));
    EXPECT_EQ(kindOf(hangs), FailureKind::timeLimit);

    const FFprobeDurationProvider closesAndStays(
        fakeFFprobe(tree, "echo 12.5; exec >&- 2>&-; exec sleep 600"));
    EXPECT_EQ(failureOf(closesAndStays), QString::fromUtf8(unavailable));

    const std::string grandchild = tree.path("grandchild").native();
    const FFprobeDurationProvider leavesAGrandchild(
        fakeFFprobe(tree, "sleep 600 & echo $! > '" + grandchild + "'; echo 12.5"));
    EXPECT_EQ(measured(leavesAGrandchild, clipFile()).value(), 12.5);
    const int grandchildPid = std::atoi(test::contents(grandchild).c_str());
    ASSERT_GT(grandchildPid, 0);
    ::kill(grandchildPid, SIGKILL);

    // A run being stopped ends the tool at once.
    const FFprobeDurationProvider stopped(fakeFFprobe(tree, "exec sleep 600"));
    std::stop_source stop;
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        stop.request_stop();
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(kindOf(stopped, stop.get_token()), FailureKind::stopped);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    stopper.join();
}

// A tool that is gone or not executable is "not found"; one the system cannot start is a
// failure with the system's reason. Neither says anything of the file.
TEST(FFprobeProviderTest, ToolThatIsGoneOrCannotStart)
{
    const TempTree tree;
    const auto script = fakeFFprobe(tree, "echo 1");
    const FFprobeDurationProvider provider(script);
    std::filesystem::permissions(script, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write);
    const QString notFound =
        QStringLiteral("ffprobe non trovato. Configura il percorso (es. /usr/bin/ffprobe).");
    EXPECT_EQ(failureOf(provider), notFound);
    EXPECT_EQ(kindOf(provider), FailureKind::system);
    std::filesystem::remove(script);
    EXPECT_EQ(failureOf(provider), notFound);
    EXPECT_EQ(failureOf(FFprobeDurationProvider(tree.root())), notFound);

    tree.file("ffprobe", "\177ELF garbage");
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    EXPECT_EQ(failureOf(provider),
              QStringLiteral("ffprobe non è riuscito ad analizzare clip.avi: ") +
                  QString::fromStdString(
                      std::make_error_code(std::errc::executable_format_error).message()));
    EXPECT_EQ(kindOf(provider), FailureKind::system);
}

} // namespace
} // namespace quillmark
