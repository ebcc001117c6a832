// Walks a generated tree of 100,000 entries in 2,000 folders and compares the time with `find`
// listing the same tree in the same run.
#include "scan/folder_walk.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
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
    return 0;
}
