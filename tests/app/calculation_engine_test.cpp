#include "app/calculation_engine.h"
#include "model/app_error.h"
#include "support/fake_provider.h"
#include "support/temp_tree.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <mutex>
#include <sys/resource.h>
#include <thread>
#include <tuple>

namespace quillmark {
namespace {

using test::FakeProvider;
using test::TempTree;

// Seconds come from the file name ("a 61.mp4" lasts 61 s); each measurement sleeps a while
// chosen by the seed, so measurements finish in an order unlike the order they started in.
class Recorder {
public:
    explicit Recorder(unsigned seed = 1)
        : m_seed(seed)
    {
    }

    std::shared_ptr<FakeProvider> provider()
    {
        return std::make_shared<FakeProvider>(
            [this](const std::filesystem::path& file, std::stop_token) {
                const std::string name = file.filename().native();
                {
                    const std::lock_guard lock(m_mutex);
                    started.push_back(name);
                    maxInFlight = std::max(maxInFlight, ++m_inFlight);
                }
                const auto delay = std::hash<std::string>()(name + std::to_string(m_seed)) % 20;
                std::this_thread::sleep_for(std::chrono::milliseconds(delay));
                --m_inFlight;
                if (name.rfind("broken", 0) == 0)
                    throw AppError::unsupportedFormat(file);
                return std::stod(name.substr(name.find(' ') + 1));
            });
    }

    std::vector<std::string> started;
    int maxInFlight = 0;

private:
    unsigned m_seed;
    std::mutex m_mutex;
    std::atomic<int> m_inFlight = 0;
};

ComputedReport run(
    CalculationEngine& engine, const std::filesystem::path& folder,
    std::function<bool()> hide = [] { return true; })
{
    QSignalSpy finished(&engine, &CalculationEngine::finished);
    engine.computeReport(folder, {QStringLiteral(".mp4"), QStringLiteral(".mkv")}, std::move(hide));
    EXPECT_TRUE(finished.wait(20000));
    return finished.isEmpty() ? ComputedReport{} : finished[0][0].value<ComputedReport>();
}

void makeTree(const TempTree& tree)
{
    tree.file("a 61.mp4");
    tree.file("notes.txt");
    tree.file("B/c 3600.mkv");
    tree.file("B/broken 5.mp4");
    tree.file("B/d 1.5.MP4");
    tree.folder("Empty");
    tree.file("Z/e 30.mp4");
}

// With folders that hold no video hidden, as "Empty" is.
std::string expectedReport(const TempTree& tree)
{
    const std::string root = tree.root().native();
    std::string text = "Cartella " + root + "\na 61.mp4 (0h01m)\nTotale cartella (0h01m)\n\n";
    text +=
        "Cartella " + root + "/B\nErrore con file " + root +
        "/B/broken 5.mp4: Formato non supportato da libavformat: broken 5.mp4\n"
        "broken 5.mp4 (0h00m)\nc 3600.mkv (1h00m)\nd 1.5.MP4 (0h00m)\nTotale cartella (1h00m)\n\n";
    text += "Cartella " + root +
            "/Z\ne 30.mp4 (0h01m)\nTotale cartella (0h01m)\n\nGran totale (1h02m)\n";
    return text;
}

TEST(CalculationEngineTest, ReportIsTheSameWhateverOrderMeasurementsFinishIn)
{
    const TempTree tree;
    makeTree(tree);
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        Recorder recorder(seed);
        CalculationEngine engine(VideoDurationService({recorder.provider()}), 3);
        const ComputedReport report = run(engine, tree.root());
        EXPECT_EQ(report.text.toStdString(), expectedReport(tree));
        EXPECT_EQ(report.grandTotalSeconds, 61 + 3600 + 1 + 30);
    }
}

TEST(CalculationEngineTest, BoundsMeasurementsInFlightAndStartsAndPublishesThemInJobOrder)
{
    const TempTree tree;
    for (int i = 1; i <= 12; ++i)
        tree.file("F" + std::to_string(i % 3) + "/v" + std::to_string(i) + " 1.mp4");
    Recorder parallel;
    CalculationEngine two(VideoDurationService({parallel.provider()}), 2);
    run(two, tree.root());
    EXPECT_LE(parallel.maxInFlight, 2);
    EXPECT_EQ(parallel.started.size(), 12u);

    // With one measurement at a time the start order is observable exactly; files done are
    // published with the percentage done, truncated (2 of 12 is 16), the last of them and the
    // count so far, once per batch of results.
    Recorder recorder;
    CalculationEngine one(VideoDurationService({recorder.provider()}), 1);
    QSignalSpy progressed(&one, &CalculationEngine::progressed);
    run(one, tree.root());
    ASSERT_FALSE(progressed.empty());
    qsizetype before = 0;
    for (const QVariantList& told : progressed) {
        const qsizetype done = told[2].value<qsizetype>();
        EXPECT_GT(done, before);
        EXPECT_EQ(told[0].toInt(), int(done * 100 / 12));
        before = done;
    }
    EXPECT_EQ(progressed.back(),
              (QVariantList{100, QString::fromStdString(tree.path("F2/v11 1.mp4").native()),
                            QVariant::fromValue(qsizetype(12))}));
    EXPECT_EQ(recorder.started,
              (std::vector<std::string>{"v3 1.mp4", "v6 1.mp4", "v9 1.mp4", "v12 1.mp4", "v1 1.mp4",
                                        "v4 1.mp4", "v7 1.mp4", "v10 1.mp4", "v2 1.mp4", "v5 1.mp4",
                                        "v8 1.mp4", "v11 1.mp4"}));
}

// A tree without videos still lists its folders and measures nothing; totals of absurd durations
// stop at the largest value instead of wrapping round.
TEST(CalculationEngineTest, TreesWithoutVideosOrWithAbsurdDurations)
{
    const TempTree tree;
    tree.file("notes.txt");
    tree.folder("Sub");
    Recorder recorder;
    CalculationEngine engine(VideoDurationService({recorder.provider()}), 4);
    QSignalSpy progressed(&engine, &CalculationEngine::progressed);
    const std::string root = tree.root().native();
    EXPECT_EQ(run(engine, tree.root(), [] { return false; }).text.toStdString(),
              "Cartella " + root + "\nTotale cartella (0h00m)\n\nCartella " + root +
                  "/Sub\nTotale cartella (0h00m)\n\nGran totale (0h00m)\n");
    EXPECT_EQ(run(engine, tree.root()).text, QStringLiteral("Gran totale (0h00m)\n"));
    EXPECT_TRUE(progressed.isEmpty());
    EXPECT_TRUE(recorder.started.empty());

    tree.file("Sub/a 9.2e18.mp4");
    tree.file("Sub/b 9.2e18.mp4");
    const ComputedReport report = run(engine, tree.root());
    EXPECT_EQ(report.grandTotalSeconds, INT64_MAX);
    EXPECT_EQ(report.summary.folders.front().totalLabel, QStringLiteral("2562047788015215h30m"));
}

// The cache: the same report without measuring again, a changed file measured again, everything
// measured afresh when asked.
TEST(CalculationEngineTest, TheCacheRemembersWhatDidNotChange)
{
    const TempTree tree;
    tree.file("a 61.mp4", "x");
    tree.file("b 30.mp4", "x");
    tree.file("broken 1.mp4", "x");
    const std::filesystem::path cacheFile = tree.path("cache/durations.sqlite");
    std::mutex askedMutex; // two measurements run at once
    auto measureWith = [&](std::vector<std::string>& asked, bool useCache = true) {
        auto primary = std::make_shared<FakeProvider>([&](const auto& file, auto) -> double {
            {
                const std::lock_guard lock(askedMutex);
                asked.push_back(file.filename().native());
            }
            if (file.filename().native().rfind("broken", 0) == 0)
                throw AppError::unsupportedFormat(file);
            return std::stod(file.filename().native().substr(2));
        });
        auto fallback = std::make_shared<FakeProvider>(
            [](const auto&, auto) -> double { throw AppError::ffprobeNotFound(); },
            QStringLiteral("ffprobe 1"));
        CalculationEngine engine(VideoDurationService({primary, fallback}), 2, cacheFile);
        QSignalSpy finished(&engine, &CalculationEngine::finished);
        engine.computeReport(
            tree.root(), {QStringLiteral(".mp4")}, [] { return true; }, useCache);
        EXPECT_TRUE(finished.wait(20000));
        engine.finishBackgroundWork();
        std::sort(asked.begin(), asked.end());
        return finished[0][0].value<ComputedReport>().text;
    };
    std::vector<std::string> first, second, touched, fresh;
    const QString report = measureWith(first);
    EXPECT_EQ(first.size(), 3u);
    EXPECT_EQ(measureWith(second), report);
    EXPECT_TRUE(second.empty());

    std::filesystem::last_write_time(tree.path("a 61.mp4"),
                                     std::filesystem::file_time_type::clock::now());
    EXPECT_EQ(measureWith(touched), report);
    EXPECT_EQ(touched, std::vector<std::string>{"a 61.mp4"});
    EXPECT_EQ(measureWith(fresh, false), report);
    EXPECT_EQ(fresh.size(), 3u);
}

// A failure of the moment (no descriptor left, a tool that took too long) is not the file's
// answer: the next run measures the file again and shows its duration.
TEST(CalculationEngineTest, AFailureOfTheMomentIsNeverRemembered)
{
    for (const FailureKind kind : {FailureKind::system, FailureKind::timeLimit}) {
        const TempTree tree;
        tree.file("a.mp4", "x");
        std::atomic<int> calls = 0;
        const auto provider =
            std::make_shared<FakeProvider>([&calls, kind](const auto&, auto) -> Expected<double> {
                if (calls++ == 0)
                    return Failure{kind, QStringLiteral("Troppi file aperti")};
                return 61.0;
            });
        std::vector<QString> totals;
        for (int runs = 0; runs < 2; ++runs) {
            CalculationEngine engine(VideoDurationService({provider}), 1,
                                     tree.path("cache/durations.sqlite"));
            totals.push_back(run(engine, tree.root()).summary.grandTotalLabel);
            engine.finishBackgroundWork();
        }
        EXPECT_EQ(totals, (std::vector<QString>{QStringLiteral("0h00m"), QStringLiteral("0h01m")}))
            << int(kind);
        EXPECT_EQ(calls, 2);
    }
}

// Runs a calculation with no address space left for a thread's stack; exits with 0 when the run
// ended with the error that says so, 1 when it did not end.
[[noreturn]] void calculateWithoutThreads()
{
    const TempTree tree;
    tree.file("a 61.mp4");
    Recorder recorder;
    CalculationEngine engine(VideoDurationService({recorder.provider()}), 2);
    QSignalSpy failed(&engine, &CalculationEngine::failed);
    std::ifstream status("/proc/self/status");
    std::string line;
    rlim_t used = 0;
    while (std::getline(status, line) && used == 0)
        used = line.rfind("VmSize:", 0) == 0 ? std::stoull(line.substr(7)) * 1024 : 0;
    rlimit limit{};
    ::getrlimit(RLIMIT_AS, &limit);
    const rlimit tight{used + 2 * 1024 * 1024, limit.rlim_max};
    ::setrlimit(RLIMIT_AS, &tight);
    engine.computeReport(tree.root(), {QStringLiteral(".mp4")}, [] { return true; });
    const bool said = failed.wait(5000);
    ::setrlimit(RLIMIT_AS, &limit);
    std::exit(said && failed[0][0].toString() ==
                          QStringLiteral("Impossibile avviare il calcolo: il sistema non concede "
                                         "altri thread.")
                  ? 0
                  : 1);
}

// A run whose threads the system refuses ends with an error at once instead of waiting for ever.
// In a process of its own: one that has run threads before reuses their stacks, which need no
// address space.
TEST(CalculationEngineTest, ARunWithoutThreadsFailsAtOnce)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer needs more address space than the limit leaves";
#endif
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(calculateWithoutThreads(), ::testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace quillmark
