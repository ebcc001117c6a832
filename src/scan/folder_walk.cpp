#include "scan/folder_walk.h"

#include "platform/paths.h"
#include "platform/posix.h"
#include "scan/natural_order.h"

#include <atomic>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace quillmark {

namespace {

struct Listing {
    std::vector<std::string> files;
    std::vector<std::string> subfolders;
};

bool isSubfolder(int folder, const dirent& entry)
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_DIR;
    struct stat info {};
    if (::fstatat(folder, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    return S_ISDIR(info.st_mode);
}

// Lists an open folder; the descriptor stays open for opening its subfolders.
Listing listFolder(int folder)
{
    Listing listing;
    if (folder < 0)
        return listing;
    const int copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return listing;
    const DirHandle dir(::fdopendir(copy));
    if (!dir) {
        ::close(copy);
        return listing;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        (isSubfolder(folder, *entry) ? listing.subfolders : listing.files).emplace_back(name);
    }
    return listing;
}

std::string childPath(const std::string& folder, const std::string& name)
{
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
    return path;
}

// A folder on the way down whose subfolders are still to be visited.
struct Level {
    FileDescriptor folder;
    std::string path;
    std::vector<std::string> subfolders;
    std::size_t next = 0;
};

// Opens the folder at `relative` below the open folder `root` without following a link anywhere
// on the way, in pieces the kernel accepts however long the path grows.
FileDescriptor openBelow(int root, std::string_view relative)
{
    FileDescriptor opened;
    while (!relative.empty()) {
        std::size_t cut = relative.size();
        if (cut >= PATH_MAX)
            cut = relative.rfind('/', PATH_MAX - 1);
        if (cut == std::string_view::npos || cut == 0)
            return FileDescriptor();
        const std::string piece(relative.substr(0, cut));
        const int base = opened ? opened.get() : root;
        open_how how{};
        how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW;
        how.resolve = RESOLVE_NO_SYMLINKS;
        int next = int(::syscall(SYS_openat2, base, piece.c_str(), &how, sizeof how));
        // Kernels or sandboxes without openat2 still refuse a link as the last step.
        if (next < 0 && (errno == ENOSYS || errno == EPERM))
            next = ::openat(base, piece.c_str(), int(how.flags));
        opened = FileDescriptor(next);
        if (!opened)
            return FileDescriptor();
        relative.remove_prefix(std::min(relative.size(), cut + 1));
    }
    return opened;
}

} // namespace

std::vector<WalkedFolder> walkFolder(const std::filesystem::path& root, std::stop_token stop)
{
    const NaturalOrder order;
    std::vector<WalkedFolder> result;
    // One open folder per level, each subfolder opened relative to its parent: no path grows
    // past what the kernel accepts, however deep the tree. The levels live on the heap, so deep
    // trees stay off the call stack.
    std::vector<Level> levels;
    auto visit = [&](FileDescriptor folder, std::string path) {
        Listing listing = listFolder(folder.get());
        order.sort(listing.files);
        order.sort(listing.subfolders);
        WalkedFolder& walked = result.emplace_back(WalkedFolder{path, {}});
        walked.files.reserve(listing.files.size());
        for (const std::string& name : listing.files)
            walked.files.emplace_back(childPath(path, name));
        levels.push_back(Level{std::move(folder), std::move(path), std::move(listing.subfolders)});
    };

    const std::string rootPath = fileURLPath(root).native();
    visit(FileDescriptor(::open(rootPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)), rootPath);
    while (!levels.empty() && !stop.stop_requested()) {
        Level& level = levels.back();
        if (level.next == level.subfolders.size()) {
            levels.pop_back();
            continue;
        }
        const std::string& name = level.subfolders[level.next++];
        // Not through a link: one that replaced the folder since the listing is not followed.
        FileDescriptor subfolder(::openat(level.folder.get(), name.c_str(),
                                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        std::string path = childPath(level.path, name);
        visit(std::move(subfolder), std::move(path));
    }
    return result;
}

std::vector<WalkedFolder> walkFolderInParallel(const std::filesystem::path& root, int listers,
                                               std::stop_token stop)
{
    struct Listed {
        std::string path;
        Listing listing;
        std::size_t firstChild = 0; // where its subfolders start in the next level
    };
    // Level by level: every folder of a level is listed before the next level starts. Each is
    // opened from the root, so a folder swapped for a link since its parent was listed is still
    // not followed.
    const std::string rootPath = fileURLPath(root).native();
    const FileDescriptor rootFolder(::open(rootPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const std::size_t belowRoot = rootPath.size() + (rootPath.ends_with('/') ? 0 : 1);
    std::vector<std::vector<Listed>> levels;
    std::vector<Listed> level{Listed{rootPath, {}}};
    while (!level.empty() && !stop.stop_requested()) {
        std::atomic<std::size_t> next = 0;
        auto listSome = [&] {
            const NaturalOrder order; // a collator of its own for each thread
            for (std::size_t i; (i = next++) < level.size();) {
                Listed& folder = level[i];
                const bool isRoot = folder.path.size() == rootPath.size();
                const FileDescriptor opened =
                    isRoot ? FileDescriptor()
                           : openBelow(rootFolder.get(),
                                       std::string_view(folder.path).substr(belowRoot));
                folder.listing = listFolder(isRoot ? rootFolder.get() : opened.get());
                order.sort(folder.listing.files);
                order.sort(folder.listing.subfolders);
            }
        };
        std::vector<std::thread> threads;
        try {
            for (int t = 1; t < std::min<int>(listers, int(level.size())); ++t)
                threads.emplace_back(listSome);
        } catch (const std::system_error&) {
            // Out of threads: the ones started and this one list the level between them.
        }
        listSome();
        for (std::thread& thread : threads)
            thread.join();
        std::vector<Listed> below;
        for (Listed& folder : level) {
            folder.firstChild = below.size();
            for (const std::string& name : folder.listing.subfolders)
                below.push_back(Listed{childPath(folder.path, name), {}});
        }
        levels.push_back(std::move(level));
        level = std::move(below);
    }

    // The levels in pre-order: each folder, then its subfolders in their order.
    std::vector<WalkedFolder> result;
    std::vector<std::pair<std::size_t, std::size_t>> pending; // level, index in it
    if (!levels.empty())
        pending.emplace_back(0, 0);
    while (!pending.empty()) {
        const auto [depth, index] = pending.back();
        pending.pop_back();
        const Listed& folder = levels[depth][index];
        WalkedFolder& walked = result.emplace_back(WalkedFolder{folder.path, {}});
        for (const std::string& name : folder.listing.files)
            walked.files.emplace_back(childPath(folder.path, name));
        if (depth + 1 == levels.size())
            continue; // stopped before that level was listed
        for (std::size_t child = folder.listing.subfolders.size(); child-- > 0;)
            pending.emplace_back(depth + 1, folder.firstChild + child);
    }
    return result;
}

} // namespace quillmark
