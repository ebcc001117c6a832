// Walks a generated tree of 100,000 entries in 2,000 folders and compares the time with `find`
// listing the same tree in the same run. Then walks chains of folders 10,000 and 20,000 deep
// against as many folders side by side: time and memory must grow with the number of folders,
// not with the square of the depth.
#include "scan/folder_walk.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int topFolders = 40;
constexpr int subfoldersEach = 49;
constexpr int filesPerFolder = 49;

const char* const extensions[] = {".mp4", ".mkv", ".MOV", ".avi", ".srt", ".jpg", ".nfo"};

std::string fileName(int folder, int file)
{
    std::string name = (file % 3 == 0 ? "episodio " : "Episodio ") + std::to_string(file + 1);
    if (folder % 20 == 0 && file % 10 == 0)
        name += " città"; // some folders need the collator for non-ASCII names
    return name + " - parte " + std::to_string(folder % 7) + extensions[file % 7];
}

void makeFolder(const std::filesystem::path& folder, int index)
{
    std::filesystem::create_directories(folder);
    for (int file = 0; file < filesPerFolder; ++file)
        std::ofstream(folder / fileName(index, file));
}

std::size_t generate(const std::filesystem::path& root)
{
    const std::filesystem::path stamp = root / ".complete";
    if (!std::filesystem::exists(stamp)) {
        std::printf("generating the tree in %s ...\n", root.c_str());
        std::filesystem::remove_all(root);
        int index = 0;
        for (int top = 0; top < topFolders; ++top) {
            const auto topFolder = root / ("Stagione " + std::to_string(top + 1));
            makeFolder(topFolder, index++);
            for (int sub = 0; sub < subfoldersEach; ++sub)
                makeFolder(topFolder / ("Disco " + std::to_string(sub + 1)), index++);
        }
        std::ofstream{stamp};
    }
    std::size_t entries = 0;
    for (auto it = std::filesystem::recursive_directory_iterator(root);
         it != std::filesystem::recursive_directory_iterator(); ++it)
        ++entries;
    return entries;
}

template <class Run> double medianMilliseconds(Run run, int rounds = 7)
{
    run(); // warm the cache
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// `count` folders named "a", each in the one before, made folder by folder: the path soon
// outgrows what the kernel takes at once. Flat: `count` folders side by side instead.
void makeFolders(const std::filesystem::path& root, int count, bool chain)
{
    const std::filesystem::path stamp = root / ".complete";
    if (std::filesystem::exists(stamp))
        return;
    std::filesystem::create_directories(root);
    int at = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int folder = 0; folder < count && at >= 0; ++folder) {
        const std::string name = chain ? "a" : std::to_string(folder);
        ::mkdirat(at, name.c_str(), 0755);
        if (chain) {
            const int next = ::openat(at, name.c_str(), O_RDONLY | O_DIRECTORY);
            ::close(at);
            at = next;
        }
    }
    ::close(at);
    std::ofstream{stamp};
}

struct Walked {
    double milliseconds = 0;
    double peakMiB = 0;
    std::size_t folders = 0;
};

// In a process of its own, so that its peak memory is the walk's.
Walked walkAlone(const std::filesystem::path& root)
{
    int answer[2];
    if (::pipe(answer) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        QElapsedTimer timer;
        timer.start();
        const auto folders = quillmark::walkFolder(root);
        const Walked walked{double(timer.nsecsElapsed()) / 1e6, 0, folders.size()};
        [[maybe_unused]] const auto written = ::write(answer[1], &walked, sizeof walked);
        ::_exit(0);
    }
    ::close(answer[1]);
    Walked walked;
    [[maybe_unused]] const auto read = ::read(answer[0], &walked, sizeof walked);
    ::close(answer[0]);
    rusage usage{};
    int status = 0;
    ::wait4(child, &status, 0, &usage);
    walked.peakMiB = double(usage.ru_maxrss) / 1024;
    return walked;
}

void deepChains(const std::filesystem::path& data)
{
    std::printf("deep trees (one walk each, in a process of its own):\n");
    std::vector<Walked> chains;
    for (const int depth : {10'000, 20'000}) {
        const auto chain = data / ("chain-" + std::to_string(depth));
        const auto flat = data / ("flat-" + std::to_string(depth));
        makeFolders(chain, depth, true);
        makeFolders(flat, depth, false);
        const Walked side = walkAlone(flat);
        const Walked deep = walkAlone(chain);
        chains.push_back(deep);
        std::printf("  %6d folders side by side %8.1f ms %7.1f MiB peak   (baseline)\n",
                    int(side.folders) - 1, side.milliseconds, side.peakMiB);
        std::printf("  %6d folders in a chain   %8.1f ms %7.1f MiB peak = %.2fx the time, "
                    "%.2fx the memory\n",
                    int(deep.folders) - 1, deep.milliseconds, deep.peakMiB,
                    deep.milliseconds / side.milliseconds, deep.peakMiB / side.peakMiB);
    }
    std::printf("  chain of 20,000 against 10,000: %.2fx the time (linear: 2, square: 4)\n",
                chains[1].milliseconds / chains[0].milliseconds);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: walk_bench TREE-FOLDER\n");
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const std::size_t entries = generate(root);

    std::size_t folders = 0;
    std::size_t files = 0;
    const double walk = medianMilliseconds([&] {
        const auto result = quillmark::walkFolder(root);
        folders = result.size();
        files = 0;
        for (const auto& folder : result)
            files += folder.files.size();
    });
    const std::string findCommand = "find '" + root.native() + "' > /dev/null";
    const double find = medianMilliseconds([&] {
        if (std::system(findCommand.c_str()) != 0)
            std::fprintf(stderr, "find failed\n");
    });

    std::printf("walk tree: %zu entries, %zu folders, %zu files\n", entries, folders, files);
    std::printf("walkFolder (natural order) %8.1f ms\n", walk);
    std::printf("find                       %8.1f ms\n", find);
    std::printf("ratio walk/find            %8.2f  (target <= 2.00)\n", walk / find);
    deepChains(root.parent_path());
    return 0;
}
