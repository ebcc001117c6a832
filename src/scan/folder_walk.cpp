#include "scan/folder_walk.h"

#include "platform/file_system_kind.h"
#include "platform/paths.h"
#include "platform/posix.h"
#include "platform/worker_threads.h"
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
#include <unistd.h>

namespace quillmark {

namespace {

using Listing = FolderEntries;

// The entry's type as the listing gives it, or as a stat of it (not following a link) does
// where the file system does not say.
unsigned char typeOf(int folder, const dirent64& entry)
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type;
    struct stat info {};
    if (::fstatat(folder, entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return DT_UNKNOWN;
    return S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
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
            const unsigned char type = typeOf(folder, *entry);
            (type == DT_DIR ? listing.subfolders : listing.files).emplace_back(name);
            if (type != DT_DIR && type != DT_REG)
                listing.irregular.emplace_back(name);
        }
    }
}

void appendName(std::string& path, const std::string& name)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    path += name;
}

// A folder on the way down whose subfolders are still to be visited. Its descriptor may have been
// closed to bound how many a deep walk holds; it is opened again when its next subfolder is due.
struct Level {
    FileDescriptor folder;
    std::size_t index = 0; // in the walk
    std::vector<std::string> subfolders;
    std::size_t next = 0;
    int error = 0; // why it could not be opened again
    // What it was when its descriptor was closed, to know it again on the way back up.
    dev_t device = 0;
    ino_t inode = 0;
};

// How many folders of the way down a walk holds open besides the root: any tree deeper than the
// process's descriptor limit would otherwise lose its deepest folders.
constexpr std::size_t openLevelLimit = 32;

void closeLevel(Level& level)
{
    struct stat info {};
    if (level.folder && ::fstat(level.folder.get(), &info) == 0) {
        level.device = info.st_dev;
        level.inode = info.st_ino;
    }
    level.folder.reset();
}

bool isLevel(int fd, const Level& level)
{
    struct stat info {};
    return ::fstat(fd, &info) == 0 && info.st_dev == level.device && info.st_ino == level.inode;
}

// The folder `up` levels above the open folder `from`, by "..", in pieces the kernel accepts.
FileDescriptor climb(int from, std::size_t up)
{
    constexpr std::size_t stepsAtOnce = 1000; // "../" a thousand times stays under PATH_MAX
    FileDescriptor at;
    while (up > 0) {
        const std::size_t steps = std::min(up, stepsAtOnce);
        std::string dots;
        for (std::size_t step = 0; step < steps; ++step)
            dots += step == 0 ? ".." : "/..";
        FileDescriptor next(
            ::openat(at ? at.get() : from, dots.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!next)
            return FileDescriptor();
        at = std::move(next);
        up -= steps;
    }
    return at;
}

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

// The way down in order: each subfolder is opened relative to its parent, so no path grows past
// what the kernel accepts, however deep the tree. Only the deepest openLevelLimit levels (and the
// root) hold a descriptor; a level closed on the way down is opened again on the way back up
// by ".." from the level below it, checked to be the same folder, and only otherwise by its path
// from the root: so the walk takes time in proportion to the tree, not to the square of its depth.
class InOrderWalk {
public:
    InOrderWalk(const std::string& rootPath, std::stop_token stop, WalkProgress* progress)
        : m_stop(std::move(stop))
        , m_progress(progress)
    {
        FileDescriptor root(::open(rootPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        const int error = root ? 0 : errno;
        visit(std::move(root), error, rootPath, 0);
    }

    std::vector<WalkedFolder> run()
    {
        while (!m_levels.empty() && !m_stop.stop_requested()) {
            Level& level = m_levels.back();
            if (level.next == level.subfolders.size()) {
                leave();
                continue;
            }
            if (!level.folder && level.error == 0)
                reopenTop();
            const std::string name = level.subfolders[level.next++];
            FileDescriptor subfolder = openSubfolder(level, name);
            const int openError = subfolder ? 0 : (level.error ? level.error : errno);
            visit(std::move(subfolder), openError, name, level.index); // moves the levels
        }
        return std::move(m_result);
    }

private:
    void visit(FileDescriptor folder, int openError, const std::string& name, std::size_t parent)
    {
        Listing listing = listFolder(folder.get(), openError);
        if (m_progress)
            m_progress->listed(listing.files);
        m_order.sort(listing.files);
        m_order.sort(listing.subfolders);
        const std::size_t index = m_result.size();
        std::sort(listing.irregular.begin(), listing.irregular.end());
        m_result.push_back(WalkedFolder{name, index == 0 ? 0 : parent, std::move(listing.files),
                                        std::move(listing.irregular), listing.error});
        Level level;
        level.folder = std::move(folder);
        level.index = index;
        level.subfolders = std::move(listing.subfolders);
        m_levels.push_back(std::move(level));
        if (m_levels.size() - m_firstOpen > openLevelLimit)
            closeLevel(m_levels[m_firstOpen++]);
    }

    // Not through a link: one that replaced the folder since the listing is not followed.
    FileDescriptor openSubfolder(const Level& level, const std::string& name)
    {
        for (;;) {
            FileDescriptor subfolder(::openat(level.folder.get(), name.c_str(),
                                              O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            // Out of descriptors: the way down gives one back, if it holds one it can spare.
            if (subfolder || (errno != EMFILE && errno != ENFILE))
                return subfolder;
            if (m_above) {
                m_above.reset();
                continue;
            }
            if (m_firstOpen + 1 >= m_levels.size())
                return subfolder;
            closeLevel(m_levels[m_firstOpen++]);
        }
    }

    // The level below keeps its descriptor as the way back up to the levels above it.
    void leave()
    {
        Level& level = m_levels.back();
        if (level.folder) {
            m_above = std::move(level.folder);
            m_stepsUp = 1;
        } else if (m_above) {
            ++m_stepsUp;
        }
        m_levels.pop_back();
        if (!m_levels.empty())
            m_firstOpen = std::min(m_firstOpen, std::max<std::size_t>(m_levels.size() - 1, 1));
    }

    void reopenTop()
    {
        Level& level = m_levels.back();
        FileDescriptor reopened;
        if (m_above)
            reopened = climb(m_above.get(), m_stepsUp);
        // Moved since: it is found again only where the walk found it, from the root.
        if (reopened && !isLevel(reopened.get(), level))
            reopened.reset();
        if (!reopened) {
            std::string relative;
            for (std::size_t depth = 1; depth < m_levels.size(); ++depth) {
                if (depth > 1)
                    relative += '/';
                relative += m_result[m_levels[depth].index].name;
            }
            reopened = openBelow(m_levels.front().folder.get(), relative);
        }
        level.error = reopened ? 0 : errno;
        level.folder = std::move(reopened);
        m_above.reset();
    }

    std::stop_token m_stop;
    WalkProgress* m_progress;
    const NaturalOrder m_order;
    std::vector<WalkedFolder> m_result;
    std::vector<Level> m_levels;
    std::size_t m_firstOpen = 1; // levels from here on may hold a descriptor; those above not
    FileDescriptor m_above;      // a level left last, and how far above it the way back is
    std::size_t m_stepsUp = 0;
};

} // namespace

bool listedAsRegular(const WalkedFolder& folder, const std::string& file)
{
    return !std::binary_search(folder.irregular.begin(), folder.irregular.end(), file);
}

void WalkProgress::listed(const std::vector<std::string>& files)
{
    std::size_t found = 0;
    if (wants)
        found = std::size_t(std::count_if(files.begin(), files.end(), wants));
    wanted += found;
    ++folders;
}

std::vector<WalkedFolder> walkFolderInOrder(const std::filesystem::path& root, std::stop_token stop,
                                            WalkProgress* progress)
{
    return InOrderWalk(normalizedPath(root).native(), std::move(stop), progress).run();
}

std::vector<WalkedFolder> walkFolderInParallel(const std::filesystem::path& root, int listers,
                                               std::stop_token stop, WalkProgress* progress)
{
    struct Listed {
        std::string name;
        std::size_t parent = 0; // its index in the level above
        Listing listing;
        std::size_t firstChild = 0; // where its subfolders start in the next level
    };
    // Level by level: every folder of a level is listed before the next level starts. Each is
    // opened from the root, so a folder swapped for a link since its parent was listed is still
    // not followed.
    const std::string rootPath = normalizedPath(root).native();
    const FileDescriptor rootFolder(::open(rootPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int rootError = rootFolder ? 0 : errno;
    std::vector<std::vector<Listed>> levels;
    std::vector<Listed> level{Listed{rootPath, 0, {}}};
    auto relativePath = [&levels](std::size_t parent, const std::string& name) {
        std::vector<const std::string*> names{&name};
        for (std::size_t depth = levels.size(); depth-- > 1;) {
            names.push_back(&levels[depth][parent].name);
            parent = levels[depth][parent].parent;
        }
        std::string path;
        for (auto part = names.rbegin(); part != names.rend(); ++part)
            appendName(path, **part);
        return path.substr(1);
    };
    while (!level.empty() && !stop.stop_requested()) {
        const bool isRoot = levels.empty();
        std::atomic<std::size_t> next = 0;
        auto listSome = [&] {
            const NaturalOrder order; // a collator of its own for each thread
            for (std::size_t i; (i = next++) < level.size();) {
                Listed& folder = level[i];
                const FileDescriptor opened =
                    isRoot ? FileDescriptor()
                           : openBelow(rootFolder.get(), relativePath(folder.parent, folder.name));
                const int openError = isRoot ? rootError : (opened ? 0 : errno);
                folder.listing = listFolder(isRoot ? rootFolder.get() : opened.get(), openError);
                if (progress)
                    progress->listed(folder.listing.files);
                order.sort(folder.listing.files);
                order.sort(folder.listing.subfolders);
            }
        };
        runOnThreads(std::min<int>(listers, int(level.size())), listSome);
        std::vector<Listed> below;
        for (std::size_t i = 0; i < level.size(); ++i) {
            Listed& folder = level[i];
            folder.firstChild = below.size();
            for (std::string& name : folder.listing.subfolders)
                below.push_back(Listed{std::move(name), i, {}});
        }
        levels.push_back(std::move(level));
        level = std::move(below);
    }

    // The levels in pre-order: each folder, then its subfolders in their order.
    std::vector<WalkedFolder> result;
    struct Pending {
        std::size_t depth, index, parent; // the parent's index in the result
    };
    std::vector<Pending> pending;
    if (!levels.empty())
        pending.push_back({0, 0, 0});
    while (!pending.empty()) {
        const auto [depth, index, parent] = pending.back();
        pending.pop_back();
        Listed& folder = levels[depth][index];
        const std::size_t at = result.size();
        std::sort(folder.listing.irregular.begin(), folder.listing.irregular.end());
        result.push_back(WalkedFolder{std::move(folder.name), parent,
                                      std::move(folder.listing.files),
                                      std::move(folder.listing.irregular), folder.listing.error});
        if (depth + 1 == levels.size())
            continue; // stopped before that level was listed
        for (std::size_t child = folder.listing.subfolders.size(); child-- > 0;)
            pending.push_back({depth + 1, folder.firstChild + child, at});
    }
    return result;
}

std::vector<WalkedFolder> walkFolder(const std::filesystem::path& root, std::stop_token stop,
                                     int listers, WalkProgress* progress)
{
    return isOnRemoteFileSystem(root) ? walkFolderInParallel(root, listers, stop, progress)
                                      : walkFolderInOrder(root, stop, progress);
}

WalkPaths::WalkPaths(const std::vector<WalkedFolder>& folders)
    : m_folders(folders)
    , m_onChain(folders.size(), 0)
{
}

const std::string& WalkPaths::folder(std::size_t index)
{
    // The folders from this one up to the first already on the chain, or up to its root (the
    // first folder, or in a selection any folder that is its own parent).
    const auto isRoot = [this](std::size_t folder) { return m_folders[folder].parent == folder; };
    std::vector<std::size_t> missing;
    std::size_t at = index;
    while (!m_onChain[at]) {
        missing.push_back(at);
        if (isRoot(at))
            break;
        at = m_folders[at].parent;
    }
    const bool fromRoot = !missing.empty() && isRoot(missing.back());
    while (!m_chain.empty() && (fromRoot || m_chain.back().first != at)) {
        m_onChain[m_chain.back().first] = 0;
        m_chain.pop_back();
    }
    m_path.resize(m_chain.empty() ? 0 : m_chain.back().second);
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
        if (isRoot(*folder))
            m_path = m_folders[*folder].name;
        else
            appendName(m_path, m_folders[*folder].name);
        m_chain.emplace_back(*folder, m_path.size());
        m_onChain[*folder] = 1;
    }
    return m_path;
}

std::string WalkPaths::file(std::size_t folderIndex, const std::string& name)
{
    std::string path = folder(folderIndex);
    appendName(path, name);
    return path;
}

FolderEntries listEntries(const std::filesystem::path& folder)
{
    const FileDescriptor opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return listFolder(opened.get(), opened ? 0 : errno);
}

} // namespace quillmark
