// quillmark-report: the calculation without a window, for scripts, servers and checks.
#include "app/calculation_engine.h"
#include "app/folder_check.h"
#include "cli/progress_line.h"
#include "measure/duration_cache.h"
#include "model/app_error.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "report/folder_tree.h"
#include "report/report_reader.h"
#include "report/summary_json.h"
#include "scan/extensions.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>

namespace quillmark {

constexpr int usageError = 2;
constexpr int interruptedStatus = 128 + SIGINT;

namespace {

const char* const helpText =
    "Usage: quillmark-report [--extensions TEXT] [--show-empty] [--json] [--no-cache]\n"
    "                        [--jobs N] FOLDER\n"
    "       quillmark-report --read FILE\n"
    "\n"
    "Measures every video file in FOLDER and the folders below it and prints the\n"
    "report, byte for byte what the app saves as durata.txt.\n"
    "\n"
    "  --extensions TEXT  comma-separated extensions, as typed in the app's field\n"
    "                     (default: .mp4,.mkv,.mov,.f4v,.flv,.avi)\n"
    "  --show-empty       also list folders without matching files (hidden by default)\n"
    "  --json             print the result as JSON (the form --read gives) instead of\n"
    "                     the report text; subtree totals come from the measured seconds\n"
    "  --no-cache         measure every file afresh, without reading or writing the\n"
    "                     cache of durations ($XDG_CACHE_HOME/Quillmark/durations.sqlite)\n"
    "  --jobs N           measure at most N files at once (default: one per processor,\n"
    "                     16 on network and FUSE file systems, which are also listed\n"
    "                     N folders at a time)\n"
    "  --read FILE        print what the report reader makes of a report file, as JSON:\n"
    "                     {\"grandTotalLabel\": ..., \"folders\": [{\"path\", \"totalLabel\",\n"
    "                     \"subtreeTotalLabel\", \"subtreeTotalApproximate\", \"files\":\n"
    "                     [{\"name\", \"durationLabel\", \"errorMessage\"?}]}]}; a folder's\n"
    "                     subtree is it and every folder below it; a sum of several\n"
    "                     rounded labels is approximate\n"
    "  --help             show this text\n"
    "\n"
    "Durations come from FFmpeg's libraries; files they cannot read are tried with\n"
    "the ffprobe tool. A file that cannot be measured is listed with its error and\n"
    "counts as zero. While measuring, progress is shown on standard error when it is\n"
    "a terminal.\n"
    "\n"
    "Ctrl+C stops a calculation: its ffprobe processes are ended and nothing is\n"
    "printed.\n"
    "\n"
    "Exit status: 0 on success, 1 when the output cannot be written, 2 for a wrong\n"
    "command line, an unusable or unreadable folder, an unreadable report file, a\n"
    "run that could not start (no threads) or lack of memory, 130 when interrupted.\n";

struct Options {
    std::optional<std::string> folder;
    std::optional<std::string> reportFile;
    QString extensions;
    bool showEmpty = false;
    bool json = false;
    bool noCache = false;
    std::optional<int> jobs;
    bool help = false;
};

int fail(const QString& message, int status = usageError)
{
    std::fprintf(stderr, "quillmark-report: %s\n", message.toUtf8().constData());
    return status;
}

// Arguments stay raw bytes: a folder whose name is not UTF-8 must still be found.
std::optional<Options> parseArguments(int argc, char** argv, QString& error)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        auto value = [&](const char* name) -> std::optional<std::string> {
            const std::string prefix = std::string(name) + "=";
            if (argument.rfind(prefix, 0) == 0)
                return argument.substr(prefix.size());
            if (argument == name && i + 1 < argc)
                return std::string(argv[++i]);
            error = QStringLiteral("%1 needs a value").arg(QString::fromUtf8(name));
            return std::nullopt;
        };
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--show-empty") {
            options.showEmpty = true;
        } else if (argument == "--json") {
            options.json = true;
        } else if (argument == "--no-cache") {
            options.noCache = true;
        } else if (argument.rfind("--jobs", 0) == 0) {
            const auto count = value("--jobs");
            if (!count)
                return std::nullopt;
            const int jobs = std::atoi(count->c_str());
            if (jobs <= 0) {
                error = QStringLiteral("--jobs needs a positive number");
                return std::nullopt;
            }
            options.jobs = jobs;
        } else if (argument.rfind("--extensions", 0) == 0) {
            const auto text = value("--extensions");
            if (!text)
                return std::nullopt;
            options.extensions = QString::fromStdString(*text);
        } else if (argument.rfind("--read", 0) == 0) {
            options.reportFile = value("--read");
            if (!options.reportFile)
                return std::nullopt;
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "--") {
            error = QStringLiteral("unknown option %1").arg(QString::fromStdString(argument));
            return std::nullopt;
        } else {
            if (argument == "--" && i + 1 < argc)
                ++i;
            if (options.folder) {
                error = QStringLiteral("only one folder can be measured at a time");
                return std::nullopt;
            }
            options.folder = std::string(argv[i]);
        }
    }
    if (!options.help && options.folder.has_value() == options.reportFile.has_value()) {
        error = QStringLiteral("give either a FOLDER or --read FILE (see --help)");
        return std::nullopt;
    }
    return options;
}

bool writeAll(QByteArrayView bytes)
{
    return std::fwrite(bytes.data(), 1, std::size_t(bytes.size()), stdout) ==
               std::size_t(bytes.size()) &&
           std::fflush(stdout) == 0;
}

bool writeJson(const ReportSummary& summary, const std::vector<FolderTreeRow>& tree)
{
    return writeSummaryJson(summary, tree, writeAll);
}

// A reader that stopped reading (as "head" does) is no error worth a message.
int outputFailed(const char* what)
{
    if (errno == EPIPE)
        return 1;
    return fail(QStringLiteral("cannot write the %1: %2")
                    .arg(QString::fromUtf8(what), QString::fromLocal8Bit(std::strerror(errno))),
                1);
}

int printReadReport(const std::string& file)
{
    QString text;
    try {
        text = readUtf8File(file);
    } catch (const std::exception& error) {
        return fail(QStringLiteral("cannot read %1: %2")
                        .arg(QString::fromStdString(file), describeError(error)));
    }
    const ReportSummary summary = parseReport(text);
    if (!writeJson(summary, folderTree(summary)))
        return outputFailed("output");
    return 0;
}

int printReport(const QFuture<ComputedReport>& future, bool json)
{
    try {
        const ComputedReport report = future.result();
        const bool written =
            json ? writeJson(report.summary, folderTree(report.summary, report.folderSeconds))
                 : writeAll(report.text.toUtf8());
        if (!written)
            return outputFailed("report");
    } catch (const AppError& error) {
        // The folder turned out unreadable only once the walk began.
        if (std::holds_alternative<AppError::InvalidFolder>(error.value()))
            return fail(describeError(error));
        return fail(QStringLiteral("Si è verificato un errore: %1").arg(describeError(error)));
    } catch (const std::exception& error) {
        // A run that could not be made (no thread to run it on, no memory).
        return fail(QStringLiteral("Si è verificato un errore: %1").arg(describeError(error)));
    }
    return 0;
}

int interruptionPipe[2] = {-1, -1};

extern "C" void onInterrupt(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(interruptionPipe[1], &byte, 1);
}

// Ctrl+C, a termination request or a closed terminal during a run: the signal only wakes the
// event loop, where the run is cancelled like any other event.
class Interruption {
public:
    explicit Interruption(std::function<void()> cancel)
    {
        if (::pipe2(interruptionPipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        m_notifier = std::make_unique<QSocketNotifier>(interruptionPipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated,
                         [this, cancel = std::move(cancel)] {
                             m_happened = true;
                             cancel();
                         });
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        // A closed terminal (SIGHUP) ends the run like Ctrl+C.
        for (const int signal : {SIGINT, SIGTERM, SIGHUP})
            ::sigaction(signal, &action, nullptr);
    }

    bool happened() const { return m_happened; }

private:
    std::unique_ptr<QSocketNotifier> m_notifier;
    bool m_happened = false;
};

int measure(const Options& options)
{
    if (isBlankFolderPath(QString::fromStdString(*options.folder)))
        return fail(emptyFolderMessage());
    const std::filesystem::path folder = normalizedPath(*options.folder);
    if (const auto problem = folderProblem(folder))
        return fail(*problem);

    const int processors = QThread::idealThreadCount();
    CalculationEngine engine(makeVideoDurationService(std::nullopt), processors,
                             options.noCache ? std::nullopt
                                             : std::optional(DurationCache::defaultFile()));
    engine.setMaxInFlight(options.jobs);
    bool cacheProblemSaid = false;
    QObject::connect(&engine, &CalculationEngine::cacheUnavailable, [&](const QString& reason) {
        if (!std::exchange(cacheProblemSaid, true))
            std::fprintf(stderr, "quillmark-report: %s\n", reason.toUtf8().constData());
    });
    ProgressLine progress;
    qsizetype done = 0;
    qsizetype total = 0;
    QObject::connect(&engine, &CalculationEngine::measuringStarted,
                     [&total](qsizetype fileCount) { total = fileCount; });
    QObject::connect(
        &engine, &CalculationEngine::progressed,
        [&](int percent, const QString& file) { progress.show(percent, ++done, total, file); });
    const bool showEmpty = options.showEmpty;
    auto future = engine.computeReport(folder, parseExtensions(options.extensions),
                                       [showEmpty] { return !showEmpty; });
    QObject::connect(&engine, &CalculationEngine::finished, qApp, &QCoreApplication::quit);
    QObject::connect(&engine, &CalculationEngine::failed, qApp, &QCoreApplication::quit);
    QObject::connect(&engine, &CalculationEngine::cancelled, qApp, &QCoreApplication::quit);
    const Interruption interruption([&engine] { engine.cancel(); });
    QCoreApplication::exec();
    progress.clear();
    // The engine stops its measurements and reaps their children as it goes.
    if (interruption.happened())
        return interruptedStatus;
    const int status = printReport(future, options.json);
    // The report is out; what the run measured goes into the cache meanwhile, and a cache that
    // was busy or unusable is said after it.
    engine.finishBackgroundWork();
    return status;
}

} // namespace
} // namespace quillmark

int run(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillmark-report"));

    QString error;
    const auto options = quillmark::parseArguments(argc, argv, error);
    if (!options)
        return quillmark::fail(error);
    if (options->help) {
        std::fputs(quillmark::helpText, stdout);
        return 0;
    }
    if (options->reportFile)
        return quillmark::printReadReport(*options->reportFile);
    return quillmark::measure(*options);
}

int main(int argc, char** argv)
{
    // A closed output is seen as a failed write, not as a signal that ends the process.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("quillmark-report: out of memory\n", stderr);
        return quillmark::usageError;
    }
}
