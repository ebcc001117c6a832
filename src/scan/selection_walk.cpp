#include "scan/selection_walk.h"

#include "model/path_text.h"
#include "scan/natural_order.h"

#include <algorithm>
#include <map>
#include <system_error>

namespace quillmark {

namespace {

namespace fs = std::filesystem;

// The path's folders, as text that sorts and compares whole names: "/a/b" is inside "/a/" but
// "/ab" is not.
std::string withSlash(const fs::path& path)
{
    std::string text = path.lexically_normal().native();
    if (text.empty() || text.back() != '/')
        text += '/';
    return text;
}

bool isInside(const std::string& path, const std::vector<std::string>& folders)
{
    return std::any_of(folders.begin(), folders.end(), [&path](const std::string& folder) {
        return path.size() > folder.size() && path.starts_with(folder);
    });
}

} // namespace

std::vector<WalkedFolder> walkSelection(const std::vector<fs::path>& selection,
                                        std::stop_token stop, int listers, WalkProgress* progress)
{
    std::vector<fs::path> folders;
    std::map<fs::path, std::vector<std::string>> filesByFolder;
    std::vector<std::string> folderTexts;
    for (const fs::path& given : selection) {
        const fs::path path = fs::absolute(given);
        std::error_code error;
        // A link is an entry of its folder, as a walk takes it: never followed into a tree.
        if (fs::symlink_status(path, error).type() == fs::file_type::directory) {
            folders.push_back(path);
            folderTexts.push_back(withSlash(path));
        } else {
            const fs::path normal = path.lexically_normal();
            filesByFolder[normal.parent_path()].push_back(normal.filename().native());
        }
    }

    struct Group {
        fs::path path;
        bool isFolder;
    };
    std::vector<Group> groups;
    std::vector<std::string> kept;
    for (const fs::path& folder : folders) {
        const std::string text = withSlash(folder);
        if (isInside(text, folderTexts) || std::find(kept.begin(), kept.end(), text) != kept.end())
            continue;
        kept.push_back(text);
        groups.push_back({folder, true});
    }
    for (const auto& entry : filesByFolder)
        groups.push_back({entry.first, false});
    const NaturalOrder order;
    std::stable_sort(groups.begin(), groups.end(), [&order](const Group& a, const Group& b) {
        return order.compare(pathText(a.path), pathText(b.path)) < 0;
    });

    std::vector<WalkedFolder> walk;
    for (const Group& group : groups) {
        if (stop.stop_requested())
            break;
        const std::size_t first = walk.size();
        if (group.isFolder) {
            std::vector<WalkedFolder> tree = walkFolder(group.path, stop, listers, progress);
            for (WalkedFolder& folder : tree) {
                folder.parent += first;
                walk.push_back(std::move(folder));
            }
            continue;
        }
        // Files named directly: their type is not known from a listing, so each is looked at
        // when it is measured.
        std::vector<std::string> names = filesByFolder[group.path];
        const std::string folderText = withSlash(group.path);
        std::erase_if(names, [&](const std::string& name) {
            return isInside(folderText + name, folderTexts);
        });
        order.sort(names);
        names.erase(std::unique(names.begin(), names.end()), names.end());
        if (names.empty())
            continue;
        WalkedFolder folder{group.path.native(), first, names, names, 0};
        std::sort(folder.irregular.begin(), folder.irregular.end());
        if (progress)
            progress->listed(folder.files);
        walk.push_back(std::move(folder));
    }
    return walk;
}

} // namespace quillmark
