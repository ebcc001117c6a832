#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace quillmark {

// One folder of a walk: its name, the folder it is in, and the names of every entry directly in
// it that is not a subfolder (plain files, symbolic links of any kind, entries whose type cannot
// be read), in natural order. Paths are made when asked (WalkPaths), so a walk costs memory in
// proportion to its names however deep the tree is.
struct WalkedFolder {
    std::string name;       // the root's is its whole path
    std::size_t parent = 0; // its index in the walk; the root is its own parent
    std::vector<std::string> files;
    // Those of the files the listing did not give as regular files (links, devices, FIFOs,
    // sockets), in byte order; usually none.
    std::vector<std::string> irregular;
    // Why the folder could not be listed (an errno value), 0 when it was; its files and
    // subfolders are then what could be listed before the failure, often nothing.
    int listingError = 0;
};

// How far a walk has come, for a window that shows it while the walk goes on: read from any
// thread. `wanted` counts the files that `wants` accepts, when it is set.
struct WalkProgress {
    std::atomic<std::size_t> folders = 0;
    std::atomic<std::size_t> wanted = 0;
    std::function<bool(const std::string& name)> wants;

    void listed(const std::vector<std::string>& files);
};

// One folder's own entries, in the order the file system lists them: its subfolders, its other
// entries, and those of them that are not regular files; `error` (an errno value) when it could
// not be listed whole.
struct FolderEntries {
    std::vector<std::string> files;
    std::vector<std::string> irregular;
    std::vector<std::string> subfolders;
    int error = 0;
};
FolderEntries listEntries(const std::filesystem::path& folder);

// Whether the folder's listing gave that file as a regular file, not a link.
bool listedAsRegular(const WalkedFolder& folder, const std::string& file);

// The folder and every folder below it, depth first, each folder before its subfolders, in
// natural order. Symbolic links are never followed. A folder that cannot be listed is kept with
// the reason, so the walk never fails; the root is always the first element. A stop request ends
// the walk early with what it has. However deep the tree, the walk holds a bounded number of
// descriptors and takes time in proportion to the tree. On a network or FUSE file system, where
// each listing is mostly a round trip, the folders of each level are listed by up to `listers`
// threads at once; elsewhere one by one.
std::vector<WalkedFolder> walkFolder(const std::filesystem::path& root, std::stop_token stop = {},
                                     int listers = 16, WalkProgress* progress = nullptr);

// The two ways of walking, which give the same result in the same order.
std::vector<WalkedFolder> walkFolderInOrder(const std::filesystem::path& root,
                                            std::stop_token stop = {},
                                            WalkProgress* progress = nullptr);
std::vector<WalkedFolder> walkFolderInParallel(const std::filesystem::path& root, int listers,
                                               std::stop_token stop = {},
                                               WalkProgress* progress = nullptr);

// The paths of a walk's folders, made from their names. Asked in walk order, each costs only its
// own name, however deep it lies; asked out of order, it is still right.
class WalkPaths {
public:
    explicit WalkPaths(const std::vector<WalkedFolder>& folders);

    // Valid until the next call.
    const std::string& folder(std::size_t index);
    std::string file(std::size_t folderIndex, const std::string& name);

private:
    const std::vector<WalkedFolder>& m_folders;
    std::string m_path;
    std::vector<std::pair<std::size_t, std::size_t>> m_chain; // folder, its path's length
    std::vector<char> m_onChain;
};

} // namespace quillmark
