#pragma once

#include <filesystem>
#include <stop_token>
#include <vector>

namespace quillmark {

// One folder of a walk with every entry directly in it that is not a subfolder (plain files,
// symbolic links of any kind, entries whose type cannot be read), in natural order.
struct WalkedFolder {
    std::filesystem::path path;
    std::vector<std::filesystem::path> files;
    // Why the folder could not be listed (an errno value), 0 when it was; its files and
    // subfolders are then what could be listed before the failure, often nothing.
    int listingError = 0;
};

// The folder and every folder below it, depth first, each folder before its subfolders, in
// natural order. Symbolic links are never followed. A folder that cannot be listed is kept with
// the reason, so the walk never fails; the root is always the first element. A stop request ends
// the walk early with what it has. However deep the tree, the walk holds a bounded number of
// descriptors. On a network or FUSE file system, where each listing is mostly a round trip, the
// folders of each level are listed by up to `listers` threads at once; elsewhere one by one.
std::vector<WalkedFolder> walkFolder(const std::filesystem::path& root, std::stop_token stop = {},
                                     int listers = 16);

// The two ways of walking, which give the same result in the same order.
std::vector<WalkedFolder> walkFolderInOrder(const std::filesystem::path& root,
                                            std::stop_token stop = {});
std::vector<WalkedFolder> walkFolderInParallel(const std::filesystem::path& root, int listers,
                                               std::stop_token stop = {});

} // namespace quillmark
