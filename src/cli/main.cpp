// quillmark-report: the calculation without a window, for scripts, servers and checks.
#include "app/calculation_engine.h"
#include "app/folder_check.h"
#include "app/interface_language.h"
#include "cli/command_line.h"
#include "cli/progress_line.h"
#include "measure/duration_cache.h"
#include "model/app_error.h"
#include "model/plain_text.h"
#include "platform/paths.h"
#include "platform/text_file.h"
#include "report/csv_export.h"
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
#include <variant>
#include <vector>

namespace quillmark {

constexpr int usageError = 2;
constexpr int interruptedStatus = 128 + SIGINT;

namespace {

int fail(const QString& message, int status = usageError)
{
    std::fprintf(stderr, "quillmark-report: %s\n", message.toUtf8().constData());
    return status;
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
int outputFailed()
{
    if (errno == EPIPE)
        return 1;
    return fail(QCoreApplication::translate("CommandLine", "impossibile scrivere l'output: %1")
                    .arg(platformErrorDescription(std::error_code(errno, std::generic_category()))),
                1);
}

int printReadReport(const std::string& file, bool csv)
{
    QString text;
    try {
        text = readUtf8File(file);
    } catch (const std::exception& error) {
        return fail(QCoreApplication::translate("CommandLine", "impossibile leggere %1: %2")
                        .arg(QString::fromStdString(file), describeError(error)));
    }
    const ReadReport read = readReport(text);
    if (!(csv ? writeCsv(read.summary, {}, {}, writeAll)
              : writeJson(read.summary, folderTree(read))))
        return outputFailed();
    return 0;
}

int printReport(const ComputedReport& report, const CommandLine& options)
{
    const bool written =
        options.json  ? writeJson(report.summary, folderTree(report.summary, report.folderSeconds))
        : options.csv ? writeCsv(report.summary, report.files, report.nativeFolderPaths, writeAll)
                      : writeAll(report.text.toUtf8());
    return written ? 0 : outputFailed();
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

// The folder named, or the files and folders named after --files.
std::variant<std::vector<std::filesystem::path>, QString> whatToMeasure(const CommandLine& options)
{
    if (!options.selection) {
        if (isBlank(QString::fromStdString(*options.folder)))
            return emptyFolderMessage();
        const std::filesystem::path folder = normalizedPath(*options.folder);
        if (const auto problem = folderProblem(folder))
            return *problem;
        return std::vector{folder};
    }
    std::vector<std::filesystem::path> selection;
    for (const std::string& entry : options.files) {
        if (isBlank(QString::fromStdString(entry)))
            return emptyFolderMessage();
        selection.push_back(normalizedPath(entry));
    }
    return selection;
}

int measure(const CommandLine& options)
{
    const auto selection = whatToMeasure(options);
    if (const QString* problem = std::get_if<QString>(&selection))
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
    qsizetype total = 0;
    QObject::connect(&engine, &CalculationEngine::measuringStarted,
                     [&total](qsizetype fileCount) { total = fileCount; });
    QObject::connect(&engine, &CalculationEngine::progressed,
                     [&](int percent, const QString& file, qsizetype done) {
                         progress.show(percent, done, total, file);
                     });
    std::optional<ComputedReport> report;
    std::optional<QString> failure;
    QObject::connect(&engine, &CalculationEngine::finished, [&report](const ComputedReport& made) {
        report = made;
        QCoreApplication::quit();
    });
    // The folder turned out unreadable only once the walk began, or the run could not be made
    // (no thread to run it on).
    QObject::connect(&engine, &CalculationEngine::failed, [&failure](const QString& description) {
        failure = description;
        QCoreApplication::quit();
    });
    QObject::connect(&engine, &CalculationEngine::cancelled, qApp, &QCoreApplication::quit);
    const bool showEmpty = options.showEmpty;
    engine.computeReport(std::get<std::vector<std::filesystem::path>>(selection),
                         parseExtensions(options.extensions), [showEmpty] { return !showEmpty; });
    const Interruption interruption([&engine] { engine.cancel(); });
    QCoreApplication::exec();
    progress.clear();
    // The engine stops its measurements and reaps their children as it goes.
    if (interruption.happened())
        return interruptedStatus;
    const int status = report ? printReport(*report, options) : fail(failure.value_or(QString()));
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
    const quillmark::InterfaceLanguage language;

    QString error;
    const auto options = quillmark::parseCommandLine(argc, argv, error);
    if (!options)
        return quillmark::fail(error);
    if (options->help) {
        std::fputs(quillmark::helpText().toUtf8().constData(), stdout);
        return 0;
    }
    if (options->reportFile)
        return quillmark::printReadReport(*options->reportFile, options->csv);
    return quillmark::measure(*options);
}

int main(int argc, char** argv)
{
    // A closed output is seen as a failed write, not as a signal that ends the process.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc& error) {
        return quillmark::fail(quillmark::describeError(error));
    }
}
