// Times quillmark-report on feature-length films (tiny frames but real lengths and sample counts:
// 20 to 95 minutes; MP4 with the index at the end and at the start, MOV, Matroska) against
// MediaInfo, when it is installed, and against the floor: reading each file's first and last
// 64 KiB. Counts the reads per file (strace). With --share, the same films behind slow_share at
// 2 ms per request and per stat.
// Usage: feature_bench QUILLMARK-REPORT DATA-FOLDER [--share SLOW-SHARE]
#include "measure/iso_media_header.h"
#include "measure/media_probe.h"
#include "platform/child_process.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using quillmark::runChildProcess;

const int minutes[] = {20, 28, 36, 44, 52, 60, 68, 76, 84, 95};

struct Kind {
    const char* name;
    std::vector<std::string> options;
};
const Kind kinds[] = {{"index-at-end.mp4", {}},
                      {"index-at-start.mp4", {"-movflags", "+faststart"}},
                      {"film.mov", {}},
                      {"film.mkv", {}}};

bool ffmpeg(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"-nostdin", "-loglevel", "error", "-y"});
    return runChildProcess("/usr/bin/ffmpeg", arguments).exitStatus == 0;
}

// One 95-minute film of 16x16 frames at 25 per second with AAC sound, cut without re-encoding
// to each length and container.
fs::path makeFilms(const fs::path& data)
{
    const fs::path films = data / "films";
    if (fs::exists(films / ".complete"))
        return films;
    std::printf("generating %zu feature-length films in %s ...\n",
                std::size(minutes) * std::size(kinds), films.c_str());
    fs::remove_all(films);
    fs::create_directories(films);
    const fs::path longest = data / "longest.mp4";
    if (!fs::exists(longest) &&
        !ffmpeg({"-f", "lavfi", "-i", "color=size=16x16:rate=25:duration=5700", "-f", "lavfi", "-i",
                 "anullsrc=sample_rate=48000:channel_layout=mono", "-t", "5700", "-c:v", "libx264",
                 "-preset", "ultrafast", "-c:a", "aac", "-b:a", "8k", longest}))
        std::fprintf(stderr, "ffmpeg failed for %s\n", longest.c_str());
    for (const int length : minutes) {
        const fs::path folder = films / ("Film " + std::to_string(length) + " min");
        fs::create_directories(folder);
        for (const Kind& kind : kinds) {
            std::vector<std::string> arguments{"-i",   longest, "-c",
                                               "copy", "-t",    std::to_string(length * 60)};
            arguments.insert(arguments.end(), kind.options.begin(), kind.options.end());
            arguments.push_back(folder / kind.name);
            if (!ffmpeg(arguments))
                std::fprintf(stderr, "ffmpeg failed for %s\n", (folder / kind.name).c_str());
        }
    }
    std::ofstream(films / ".complete");
    return films;
}

std::vector<fs::path> filesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().filename().native()[0] != '.')
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds a command takes, the median of a few runs.
double timedRuns(const fs::path& program, const std::vector<std::string>& arguments, int runs,
                 bool mayFail = false)
{
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        if (runChildProcess(program, arguments).exitStatus != 0 && !mayFail)
            std::fprintf(stderr, "%s failed\n", program.c_str());
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

// The I/O floor: each file's first and last 64 KiB, in milliseconds for all of them.
double floorMilliseconds(const std::vector<fs::path>& files)
{
    std::vector<double> times;
    std::vector<char> buffer(64 * 1024);
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        for (const fs::path& file : files) {
            const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
            struct stat info {};
            ::fstat(fd, &info);
            const auto size = off_t(buffer.size());
            if (::pread(fd, buffer.data(), buffer.size(), 0) < 0 ||
                ::pread(fd, buffer.data(), buffer.size(), std::max<off_t>(0, info.st_size - size)) <
                    0)
                std::fprintf(stderr, "cannot read %s\n", file.c_str());
            ::close(fd);
        }
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

// Microseconds per file for one way of measuring, in this process.
template <typename Probe>
double perFileMicroseconds(const std::vector<fs::path>& files, Probe probe)
{
    QElapsedTimer timer;
    timer.start();
    for (const fs::path& file : files)
        probe(file);
    return double(timer.nsecsElapsed()) / 1e3 / double(files.size());
}

// The system calls of a run on the files of a folder, counted by strace: opens, stats (by path
// or of an open file) and reads.
struct Calls {
    long opens = 0, stats = 0, reads = 0;
};

Calls callsOnTheFiles(const fs::path& report, const fs::path& folder,
                      const std::vector<std::string>& options)
{
    const fs::path log = fs::temp_directory_path() / "feature-bench-strace.txt";
    std::vector<std::string> arguments{
        "-f", "-y", "-e",  "trace=read,pread64,openat,newfstatat,fstat,statx,stat,lstat",
        "-o", log,  report};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back(folder);
    runChildProcess("/usr/bin/strace", arguments);
    std::ifstream in(log);
    Calls calls;
    const std::string onTheFiles = folder.native() + "/";
    for (std::string line; std::getline(in, line);) {
        const std::size_t at = line.find(onTheFiles);
        // A file of the folder, not the folder itself or one of its subfolders being listed; a
        // call that strace shows in two lines counts once.
        if (at == std::string::npos || line.find(".m", at) == std::string::npos ||
            line.find("resumed>") != std::string::npos)
            continue;
        const std::string call = line.substr(line.find_first_not_of("0123456789 "));
        if (call.starts_with("openat("))
            ++calls.opens;
        else if (call.starts_with("read(") || call.starts_with("pread64("))
            ++calls.reads;
        else
            ++calls.stats;
    }
    fs::remove(log);
    return calls;
}

bool readsItsHeader(const fs::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    ::fstat(fd, &info);
    const quillmark::ReadAt reads = [fd](std::int64_t offset, std::span<std::uint8_t> into) {
        return std::int64_t(::pread(fd, into.data(), into.size(), offset));
    };
    quillmark::HeaderWindow window(info.st_size, reads);
    const bool read = quillmark::readIsoMediaHeader(window).has_value();
    ::close(fd);
    return read;
}

// Runs slow_share over the films while `work` runs; skipped when FUSE is missing.
template <typename Work>
void behindShare(const fs::path& slowShare, const fs::path& films, Work work)
{
    const fs::path mount = fs::temp_directory_path() / "feature-bench-share";
    fs::create_directories(mount);
    const pid_t share = ::fork();
    if (share == 0) {
        ::execl(slowShare.c_str(), slowShare.c_str(), films.c_str(), mount.c_str(), "2",
                "--stat-ms", "2", nullptr);
        ::_exit(127);
    }
    bool mounted = false;
    for (int i = 0; i < 100 && !mounted; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        mounted = runChildProcess("/usr/bin/mountpoint", {"-q", mount}).exitStatus == 0;
    }
    if (mounted)
        work(mount);
    else
        std::printf("share: FUSE is not available here, skipped\n");
    runChildProcess("/usr/bin/fusermount3", {"-u", mount});
    ::waitpid(share, nullptr, 0);
    fs::remove(mount);
}

} // namespace

int main(int argc, char** argv)
{
    const bool withShare = argc == 5 && std::string(argv[3]) == "--share";
    if (argc != 3 && !withShare) {
        std::fprintf(stderr,
                     "usage: feature_bench QUILLMARK-REPORT DATA-FOLDER [--share SLOW-SHARE]\n");
        return 2;
    }
    const fs::path report = argv[1];
    const fs::path data = fs::absolute(argv[2]);
    const fs::path films = makeFilms(data);
    const fs::path empty = data / "empty";
    fs::create_directories(empty);
    const std::vector<fs::path> files = filesIn(films);
    const double count = double(files.size());
    const bool mediaInfo = fs::exists("/usr/bin/mediainfo");
    const std::vector<std::string> mediaInfoOptions{"--Inform=General;%Duration%\\n"};

    int declined = 0;
    int differ = 0;
    for (const fs::path& file : files) {
        const auto libav = quillmark::probeWithLibav(file);
        const auto ours = quillmark::probeMedia(file);
        differ += !libav || !ours || libav->seconds != ours->seconds;
        declined += file.extension() != ".mkv" && !readsItsHeader(file);
    }

    const double ours = timedRuns(report, {"--no-cache", films}, 7);
    const double oursEmpty = timedRuns(report, {"--no-cache", empty}, 15);
    const double floor = floorMilliseconds(files);
    const double header =
        perFileMicroseconds(files, [](const fs::path& file) { quillmark::probeMedia(file); });
    const double libav =
        perFileMicroseconds(files, [](const fs::path& file) { quillmark::probeWithLibav(file); });

    std::printf("feature-length films: %zu files of 20 to 95 minutes (MP4 with the index at the "
                "end and at the start, MOV, MKV)\n",
                files.size());
    std::printf("  quillmark-report           %8.1f ms  (empty folder %.1f ms)\n", ours, oursEmpty);
    if (mediaInfo) {
        std::vector<std::string> arguments = mediaInfoOptions;
        arguments.push_back(films);
        const double theirs = timedRuns("/usr/bin/mediainfo", arguments, 3);
        arguments.back() = empty;
        const double theirsEmpty = timedRuns("/usr/bin/mediainfo", arguments, 15, true);
        std::printf("  MediaInfo                  %8.1f ms  (empty folder %.1f ms)  ratio %.1fx "
                    "(target >= 20x)\n",
                    theirs, theirsEmpty, theirs / ours);
    } else {
        std::printf("  MediaInfo is not installed: no comparison\n");
    }
    const double perFile = (ours - oursEmpty) * 1000 / count;
    const double floorPerFile = floor * 1000 / count;
    std::printf("  per file: quillmark-report %.0f us, the floor %.0f us = %.1fx the floor "
                "(target <= 3x)\n",
                perFile, floorPerFile, perFile / floorPerFile);
    std::printf("  in process, per file: header first %.0f us, libavformat alone %.0f us = %.1fx "
                "faster\n",
                header, libav, libav / header);
    std::printf("  MP4 and MOV files left to libavformat: %d; durations that differ from "
                "libavformat's: %d\n",
                declined, differ);
    // The cache: a run that fills it, then one that finds every film in it.
    const fs::path cache = data / "cache";
    fs::remove_all(cache);
    ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    timedRuns(report, {films}, 1);
    const double cached = timedRuns(report, {films}, 7);
    std::printf("  with the cache, every film in it: %.1f ms (without it %.1f ms)\n", cached, ours);
    for (const auto& [what, options] :
         {std::pair{"without the cache", std::vector<std::string>{"--no-cache"}},
          std::pair{"with the cache", std::vector<std::string>{}}}) {
        const Calls calls = callsOnTheFiles(report, films, options);
        std::printf("  per file %s (strace): %.2f opens, %.2f stats, %.2f reads\n", what,
                    double(calls.opens) / count, double(calls.stats) / count,
                    double(calls.reads) / count);
    }

    if (withShare) {
        behindShare(argv[4], films, [&](const fs::path& mount) {
            const double shared = timedRuns(report, {"--no-cache", mount}, 1);
            timedRuns(report, {mount}, 1);
            const double cachedShared = timedRuns(report, {mount}, 1);
            std::printf("share: the films behind 2 ms per request and per stat\n");
            std::printf("  quillmark-report           %8.1f ms\n", shared);
            std::printf("  quillmark-report, cached   %8.1f ms\n", cachedShared);
            if (mediaInfo) {
                std::vector<std::string> arguments = mediaInfoOptions;
                arguments.push_back(mount);
                const double theirs = timedRuns("/usr/bin/mediainfo", arguments, 1);
                std::printf("  MediaInfo                  %8.1f ms  ratio %.1fx\n", theirs,
                            theirs / shared);
            }
        });
    }
    return differ == 0 ? 0 : 1;
}
