#include "scan/folder_walk.h"

#include "platform/file_system_kind.h"
#include "platform/paths.h"
#include "platform/posix.h"
#include "scan/natural_order.h"

#include <algorithm>
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
    int error = 0; // why the folder could not be listed (whole), 0 when it was
};

bool isSubfolder(int folder, const dirent64& entry)
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_DIR;
    struct stat info {};
    if (::fstatat(folder, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    return S_ISDIR(info.st_mode);
}

// Lists an open folder, reading its entries straight from the descriptor, which stays open for
// opening the subfolders. `openError` is why the folder could not be opened, when it could not.
Listing listFolder(int folder, int openError = 0)
{
    Listing listing;
    if (folder < 0) {
        listing.error = openError ? openError : EBADF;
        return listing;
    }
    alignas(dirent64) char buffer[32768];
    for (;;) {
        const ssize_t size = ::getdents64(folder, buffer, sizeof buffer);
        if (size < 0 && errno == EINTR)
            continue;
        if (size <= 0) {
            listing.error = size < 0 ? errno : 0;
            return listing;
        }
        for (ssize_t at = 0; at < size;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            at += entry->d_reclen;
            const char* name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            (isSubfolder(folder, *entry) ? listing.subfolders : listing.files).emplace_back(name);
        }
    }
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

// A folder on the way down whose subfolders are still to be visited. Its descriptor may have been
// closed to bound how many a deep walk holds; it is opened again when its next subfolder is due.
struct Level {
    FileDescriptor folder;
    std::string path;
    std::vector<std::string> subfolders;
    std::size_t next = 0;
    int error = 0; // why it could not be opened again
};

// How many folders of the way down a walk holds open besides the root: any tree deeper than the
// process's descriptor limit would otherwise lose its deepest folders.
constexpr std::size_t openLevelLimit = 32;

// Opens the folder at `relative` below the open folder `root` without following a link anywhere
// on the way, in pieces the kernel accepts however long the path grows.
FileDescriptor openBelow(int root, std::string_view relative)
{
    FileDescriptor opened;
    while (!relative.empty()) {
        std::size_t cut = relative.size();
        if (cut >= PATH_MAX)
            cut = relative.rfind('/', PATH_MAX - 1);
        if (cut == std::string_view::npos || cut == 0) {
            errno = ENAMETOOLONG;
            return FileDescriptor();
        }
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

std::size_t belowRootAt(const std::string& rootPath)
{
    return rootPath.size() + (rootPath.ends_with('/') ? 0 : 1);
}

} // namespace

std::vector<WalkedFolder> walkFolderInOrder(const std::filesystem::path& root, std::stop_token stop)
{
    const NaturalOrder order;
    std::vector<WalkedFolder> result;
    // Each subfolder is opened relative to its parent, so no path grows past what the kernel
    // accepts, however deep the tree. The levels live on the heap, off the call stack, and only
    // the deepest openLevelLimit of them (and the root) hold a descriptor.
    std::vector<Level> levels;
    std::size_t firstOpen = 1; // levels from here on are open; those between the root and it not
    auto visit = [&](FileDescriptor folder, int openError, std::string path) {
        Listing listing = listFolder(folder.get(), openError);
        order.sort(listing.files);
        order.sort(listing.subfolders);
        WalkedFolder& walked = result.emplace_back(WalkedFolder{path, {}, listing.error});
        walked.files.reserve(listing.files.size());
        for (const std::string& name : listing.files)
            walked.files.emplace_back(childPath(path, name));
        levels.push_back(Level{std::move(folder), std::move(path), std::move(listing.subfolders)});
        if (levels.size() - firstOpen > openLevelLimit)
            levels[firstOpen++].folder.reset();
    };

    const std::string rootPath = normalizedPath(root).native();
    FileDescriptor rootFolder(::open(rootPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    visit(std::move(rootFolder), errno, rootPath);
    while (!levels.empty() && !stop.stop_requested()) {
        Level& level = levels.back();
        if (level.next == level.subfolders.size()) {
            levels.pop_back();
            const std::size_t top = levels.size() - 1;
            if (levels.size() > 1 && top < firstOpen) {
                Level& parent = levels.back();
                parent.folder =
                    openBelow(levels.front().folder.get(),
                              std::string_view(parent.path).substr(belowRootAt(rootPath)));
                parent.error = parent.folder ? 0 : errno;
            }
            firstOpen = std::min(firstOpen, std::max<std::size_t>(top, 1));
            continue;
        }
        const std::string& name = level.subfolders[level.next++];
        FileDescriptor subfolder;
        for (;;) {
            // Not through a link: one that replaced the folder since the listing is not followed.
            subfolder.reset(::openat(level.folder.get(), name.c_str(),
                                     O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            // Out of descriptors: the way down gives one back, if it holds one it can spare.
            if (subfolder || (errno != EMFILE && errno != ENFILE) || firstOpen + 1 >= levels.size())
                break;
            levels[firstOpen++].folder.reset();
        }
        const int openError = subfolder ? 0 : (level.error ? level.error : errno);
        std::string path = childPath(level.path, name);
        visit(std::move(subfolder), openError, std::move(path));
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
    const std::string rootPath = normalizedPath(root).native();
    const FileDescriptor rootFolder(::open(rootPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int rootError = rootFolder ? 0 : errno;
    const std::size_t belowRoot = belowRootAt(rootPath);
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
                const int openError = isRoot ? rootError : (opened ? 0 : errno);
                folder.listing = listFolder(isRoot ? rootFolder.get() : opened.get(), openError);
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
        WalkedFolder& walked =
            result.emplace_back(WalkedFolder{folder.path, {}, folder.listing.error});
        for (const std::string& name : folder.listing.files)
            walked.files.emplace_back(childPath(folder.path, name));
        if (depth + 1 == levels.size())
            continue; // stopped before that level was listed
        for (std::size_t child = folder.listing.subfolders.size(); child-- > 0;)
            pending.emplace_back(depth + 1, folder.firstChild + child);
    }
    return result;
}

std::vector<WalkedFolder> walkFolder(const std::filesystem::path& root, std::stop_token stop,
                                     int listers)
{
    return isOnRemoteFileSystem(root) ? walkFolderInParallel(root, listers, stop)
                                      : walkFolderInOrder(root, stop);
}

} // namespace quillmark
