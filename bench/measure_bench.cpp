// Times quillmark-report on a generated tree of 2,000 small media files in 200 folders against
// ffprobe run once per file (the fallback's way), sequentially and with one process per core,
// checks that both give the same whole seconds, and compares peak memory on 2,000 and 20,000
// files. ffprobe costs a quarter of a second per file on a small machine, so by default it is
// timed on every 7th file and scaled up; --full times it on every file.
#include "measure/video_duration_service.h"
#include "platform/child_process.h"
#include "scan/extensions.h"
#include "scan/folder_walk.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using quillmark::runChildProcess;

constexpr int filesPerFolder = 10;
constexpr int brokenEvery = 199;        // about ten broken files in 2,000
constexpr std::size_t sampleStride = 7; // coprime with the 12 clips, so every clip is timed

const char* const extensions[] = {"mp4", "mkv", "mov", "f4v", "flv", "avi"};

std::vector<std::string> ffmpegOptions(const std::string& extension)
{
    if (extension == "flv")
        return {"-c:v", "flv", "-c:a", "aac"};
    if (extension == "f4v")
        return {"-c:v", "libx264", "-preset", "ultrafast", "-c:a", "aac", "-f", "f4v"};
    if (extension == "avi")
        return {"-c:v", "mpeg4", "-c:a", "pcm_s16le"};
    return {"-c:v", "mpeg4", "-c:a", "aac"};
}

void writeFile(const fs::path& file, const char* text)
{
    if (std::FILE* out = std::fopen(file.c_str(), "w")) {
        std::fputs(text, out);
        std::fclose(out);
    }
}

// Two clips of different lengths per extension, and two broken files.
std::vector<fs::path> makeSources(const fs::path& folder)
{
    fs::create_directories(folder);
    std::vector<fs::path> sources;
    int variant = 0;
    for (const char* extension : extensions) {
        for (double seconds : {4.4, 95.6}) {
            const fs::path file = folder / ("clip" + std::to_string(variant++) + "." + extension);
            if (!fs::exists(file)) {
                const std::string duration = std::to_string(seconds);
                std::vector<std::string> arguments{
                    "-nostdin", "-loglevel",
                    "error",    "-y",
                    "-f",       "lavfi",
                    "-i",       "testsrc=size=64x48:rate=5:duration=" + duration,
                    "-f",       "lavfi",
                    "-i",       "sine=sample_rate=8000:duration=" + duration,
                    "-shortest"};
                for (const std::string& option : ffmpegOptions(extension))
                    arguments.push_back(option);
                arguments.push_back(file.native());
                if (runChildProcess("/usr/bin/ffmpeg", arguments).exitStatus != 0)
                    std::fprintf(stderr, "ffmpeg failed for %s\n", file.c_str());
            }
            sources.push_back(file);
        }
    }
    return sources;
}

// Hard links, so that 20,000 files cost no disk space.
fs::path makeTree(const fs::path& root, int folders, const std::vector<fs::path>& sources,
                  const fs::path& broken)
{
    if (fs::exists(root / ".complete"))
        return root;
    std::printf("generating %d files in %s ...\n", folders * filesPerFolder, root.c_str());
    fs::remove_all(root);
    int index = 0;
    for (int f = 0; f < folders; ++f) {
        const fs::path folder =
            root / ("Serie " + std::to_string(f / 10)) / ("Stagione " + std::to_string(f % 10 + 1));
        fs::create_directories(folder);
        for (int n = 0; n < filesPerFolder; ++n, ++index) {
            const fs::path& source =
                index % brokenEvery == brokenEvery - 1 ? broken : sources[index % sources.size()];
            fs::create_hard_link(source, folder / ("Episodio " + std::to_string(n + 1) +
                                                   source.extension().native()));
        }
    }
    writeFile(root / ".complete", "");
    return root;
}

std::vector<fs::path> videoFiles(const fs::path& root)
{
    std::vector<fs::path> files;
    const auto folders = quillmark::walkFolder(root);
    quillmark::WalkPaths paths(folders);
    for (std::size_t index = 0; index < folders.size(); ++index) {
        for (const std::string& name : folders[index].files) {
            if (quillmark::matchesExtension(name, quillmark::defaultExtensions()))
                files.push_back(paths.file(index, name));
        }
    }
    return files;
}

std::optional<std::int64_t> ffprobeSeconds(const fs::path& file)
{
    const auto output = runChildProcess("/usr/bin/ffprobe",
                                        {"-v", "error", "-show_entries", "format=duration", "-of",
                                         "default=noprint_wrappers=1:nokey=1", file.native()});
    const std::string text = output.standardOutput.trimmed().toStdString();
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (output.exitStatus != 0 || text.empty() || *end)
        return std::nullopt;
    return std::int64_t(std::trunc(seconds));
}

double seconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

dev_t inodeKey(const fs::path& file, ino_t* inode)
{
    struct stat info {};
    ::stat(file.c_str(), &info);
    *inode = info.st_ino;
    return info.st_dev;
}

long peakChildMemoryKiB()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    const bool full = argc == 4 && std::string(argv[3]) == "--full";
    if (argc != 3 && !full) {
        std::fprintf(stderr, "usage: measure_bench QUILLMARK-REPORT DATA-FOLDER [--full]\n");
        return 2;
    }
    const fs::path report = argv[1];
    const fs::path data = argv[2];
    const auto sources = makeSources(data / "sources");
    const fs::path broken = data / "sources" / "broken.mp4";
    if (!fs::exists(broken))
        writeFile(broken, "not a video\n");
    const fs::path small = makeTree(data / "tree-2000", 200, sources, broken);
    const fs::path large = makeTree(data / "tree-20000", 2000, sources, broken);

    // Peak memory first: the children's peak only ever grows, so the smaller run goes first.
    runChildProcess(report, {"--no-cache", small.native()});
    const long smallPeak = peakChildMemoryKiB();
    runChildProcess(report, {"--no-cache", large.native()});
    const long largePeak = peakChildMemoryKiB();

    const auto files = videoFiles(small);
    std::vector<double> reportTimes;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        if (runChildProcess(report, {"--no-cache", small.native()}).exitStatus != 0)
            std::fprintf(stderr, "quillmark-report failed\n");
        reportTimes.push_back(seconds(timer));
    }
    std::sort(reportTimes.begin(), reportTimes.end());
    const double ours = reportTimes[1];

    std::vector<fs::path> timed;
    for (std::size_t i = 0; i < files.size(); i += full ? 1 : sampleStride)
        timed.push_back(files[i]);
    const double scale = double(files.size()) / double(timed.size());
    std::printf("running ffprobe on %zu of %zu files, sequentially then in parallel ...\n",
                timed.size(), files.size());
    // Files are hard links to a few clips: ffprobe's answer per clip serves all its links.
    std::map<std::pair<dev_t, ino_t>, std::optional<std::int64_t>> expectedByClip;
    QElapsedTimer timer;
    timer.start();
    for (const fs::path& file : timed) {
        const auto seconds = ffprobeSeconds(file);
        ino_t inode = 0;
        const dev_t device = inodeKey(file, &inode);
        expectedByClip[{device, inode}] = seconds;
    }
    const double sequential = seconds(timer) * scale;

    const int cores = QThread::idealThreadCount();
    std::atomic<std::size_t> next = 0;
    timer.start();
    std::vector<std::thread> workers;
    for (int c = 0; c < cores; ++c) {
        workers.emplace_back([&] {
            for (std::size_t i = next++; i < timed.size(); i = next++)
                ffprobeSeconds(timed[i]);
        });
    }
    for (auto& worker : workers)
        worker.join();
    const double parallel = seconds(timer) * scale;

    const auto service = quillmark::makeVideoDurationService(std::nullopt);
    std::size_t mismatches = 0;
    std::size_t failures = 0;
    for (const fs::path& file : files) {
        ino_t inode = 0;
        const dev_t device = inodeKey(file, &inode);
        const auto known = expectedByClip.find({device, inode});
        const auto expected = known != expectedByClip.end() ? known->second : ffprobeSeconds(file);
        std::optional<std::int64_t> measured;
        if (const auto answer = service.duration(file))
            measured = *answer;
        else
            ++failures;
        if (measured != expected) {
            ++mismatches;
            std::printf("  differs: %s\n", file.c_str());
        }
    }

    std::printf("measure tree: %zu video files (%zu cannot be measured), %d cores\n", files.size(),
                failures, cores);
    std::printf("quillmark-report                %8.2f s\n", ours);
    std::printf("ffprobe per file, sequential    %8.2f s   ratio %6.1fx (target >= 100x)\n",
                sequential, sequential / ours);
    std::printf("ffprobe per file, %d processes   %8.2f s   ratio %6.1fx (target >= 50x)\n", cores,
                parallel, parallel / ours);
    std::printf("durations that differ from ffprobe: %zu\n", mismatches);
    std::printf("peak memory: 2,000 files %.1f MiB, 20,000 files %.1f MiB, difference %.1f MiB "
                "(target < 50)\n",
                smallPeak / 1024.0, largePeak / 1024.0, (largePeak - smallPeak) / 1024.0);
    return mismatches == 0 ? 0 : 1;
}
