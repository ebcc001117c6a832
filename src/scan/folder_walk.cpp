#include "scan/folder_walk.h"

#include "scan/natural_order.h"

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace quillmark {

namespace {

struct Listing {
    std::vector<std::string> files;
    std::vector<std::string> subfolders;
};

bool isSubfolder(DIR* dir, const dirent& entry)
{
    if (entry.d_type != DT_UNKNOWN)
        return entry.d_type == DT_DIR;
    struct stat info {};
    if (fstatat(dirfd(dir), entry.d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    return S_ISDIR(info.st_mode);
}

Listing listFolder(const std::string& folder)
{
    Listing listing;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir)
        return listing;
    while (const dirent* entry = readdir(dir.get())) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        (isSubfolder(dir.get(), *entry) ? listing.subfolders : listing.files).emplace_back(name);
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

std::string withoutTrailingSeparators(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::vector<WalkedFolder> walkFolder(const std::filesystem::path& root)
{
    const NaturalOrder order;
    std::vector<WalkedFolder> result;
    // Pending folders, the next to visit last; an explicit stack keeps deep trees off the call
    // stack.
    std::vector<std::string> pending{withoutTrailingSeparators(root.native())};
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();

        Listing listing = listFolder(folder);
        order.sort(listing.files);
        order.sort(listing.subfolders);

        WalkedFolder& walked = result.emplace_back(WalkedFolder{folder, {}});
        walked.files.reserve(listing.files.size());
        for (const std::string& name : listing.files)
            walked.files.emplace_back(childPath(folder, name));
        for (auto it = listing.subfolders.rbegin(); it != listing.subfolders.rend(); ++it)
            pending.push_back(childPath(folder, *it));
    }
    return result;
}

} // namespace quillmark
