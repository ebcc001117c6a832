// Runs quillmark-report over 10,000 small videos in 500 folders: a first run that fills the cache
// of durations, a second run that finds every file in it, the second run with --no-cache, and
// the walk alone (no extension matches), all in one run of the bench, with a warm page cache and,
// when the system allows dropping it, a cold one.
// Usage: cache_bench QUILLMARK-REPORT DATA-FOLDER
#include "platform/child_process.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using quillmark::runChildProcess;

namespace {

constexpr int folders = 500;
constexpr int filesPerFolder = 20;

// Copies, not links: every file needs an inode of its own to be a cache entry of its own.
fs::path makeTree(const fs::path& data)
{
    const fs::path root = data / "tree";
    if (fs::exists(root / ".complete"))
        return root;
    fs::remove_all(root);
    fs::create_directories(data);
    const fs::path clip = data / "clip.mkv";
    runChildProcess("/usr/bin/ffmpeg",
                    {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                     "testsrc=size=32x24:rate=2:duration=3", "-c:v", "mpeg4", clip.native()});
    std::printf("generating %d files in %s ...\n", folders * filesPerFolder, root.c_str());
    for (int f = 0; f < folders; ++f) {
        const fs::path folder = root / std::string("Cartella ").append(std::to_string(f));
        fs::create_directories(folder);
        for (int n = 0; n < filesPerFolder; ++n)
            fs::copy_file(clip, folder / std::string("v").append(std::to_string(n)).append(".mkv"));
    }
    std::ofstream(root / ".complete");
    return root;
}

bool dropPageCache()
{
    ::sync();
    std::ofstream drop("/proc/sys/vm/drop_caches");
    drop << "3\n";
    return drop.good();
}

double secondsOf(const fs::path& report, const std::vector<std::string>& arguments, bool cold)
{
    if (cold)
        dropPageCache();
    QElapsedTimer timer;
    timer.start();
    if (runChildProcess(report, arguments).exitStatus != 0)
        std::fprintf(stderr, "quillmark-report failed\n");
    return double(timer.nsecsElapsed()) / 1e9;
}

// A cache that other runs filled with a million rows, beside which this run's files are few.
void addAMillionRows(const fs::path& cacheFile)
{
    {
        QSqlDatabase database =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        database.setDatabaseName(QString::fromStdString(cacheFile.native()));
        database.open();
        QSqlQuery(database).exec(QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
            "INSERT OR IGNORE INTO durations SELECT 1, i, 1000, i, i, x'6d6b76', 3, NULL, NULL, "
            "'', CAST(strftime('%s', 'now') AS INTEGER) FROM n"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
}

long peakKilobytesOfChildren()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: cache_bench QUILLMARK-REPORT DATA-FOLDER\n");
        return 2;
    }
    const fs::path report = argv[1];
    const fs::path data = argv[2];
    const fs::path tree = makeTree(data);
    // A cache of the bench's own, empty at the start.
    const fs::path cacheHome = data / "cache";
    fs::remove_all(cacheHome);
    ::setenv("XDG_CACHE_HOME", cacheHome.c_str(), 1);

    const bool canDrop = dropPageCache();
    for (const bool cold : {false, true}) {
        if (cold && !canDrop) {
            std::printf("cold page cache: cannot drop the page cache here, skipped\n");
            break;
        }
        if (!cold)
            secondsOf(report, {"--no-cache", tree.native()}, false); // warms the page cache
        fs::remove_all(cacheHome);
        const double first = secondsOf(report, {tree.native()}, cold);
        const double second = secondsOf(report, {tree.native()}, cold);
        const double noCache = secondsOf(report, {"--no-cache", tree.native()}, cold);
        const double walk = secondsOf(report, {"--extensions", ".none", tree.native()}, cold);
        std::printf("%s page cache, %d files in %d folders:\n", cold ? "cold" : "warm",
                    folders * filesPerFolder, folders);
        std::printf("  first run (fills the cache) %7.2f s\n", first);
        std::printf(
            "  second run                  %7.2f s = %.1fx faster than the first (target >= 5x)\n",
            second, first / second);
        std::printf("  second run, --no-cache      %7.2f s\n", noCache);
        std::printf(
            "  the walk alone              %7.2f s; second run / walk = %.2f (target <= 2)\n", walk,
            second / walk);
    }

    // Lookups cost what the run's files cost, however many other rows the cache holds.
    fs::remove_all(cacheHome);
    secondsOf(report, {tree.native()}, false); // makes the cache, with this tree's rows
    addAMillionRows(cacheHome / "Quillmark" / "durations.sqlite");
    const long before = peakKilobytesOfChildren();
    const double bigCached = secondsOf(report, {tree.native()}, false);
    const long bigPeak = peakKilobytesOfChildren();
    const double bigNoCache = secondsOf(report, {"--no-cache", tree.native()}, false);
    std::printf("a cache with a million more rows than the run's %d files:\n",
                folders * filesPerFolder);
    std::printf("  cached run %7.2f s, --no-cache %.2f s: %.2fx (target < 1)\n", bigCached,
                bigNoCache, bigCached / bigNoCache);
    std::printf("  peak memory %s\n", bigPeak > before
                                          ? (std::to_string(bigPeak / 1024) + " MB").c_str()
                                          : "no more than the earlier runs'");
    return 0;
}
