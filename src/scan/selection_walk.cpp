#include "scan/selection_walk.h"

#include "model/path_text.h"
#include "scan/natural_order.h"

#include <algorithm>
#include <map>
#include <system_error>

namespace quillmark {

namespace {

namespace fs = std::filesystem;

enum class Kind { folder, regular, other, missing };

// The path as text that compares whole names: "/a/b" is inside "/a/", "/ab" is not.
std::string withSlash(const fs::path& path)
{
    std::string text = path.native();
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

Kind kindOf(const fs::path& path)
{
    std::error_code error;
    switch (fs::symlink_status(path, error).type()) {
    case fs::file_type::directory:
        return Kind::folder;
    case fs::file_type::regular:
        return Kind::regular;
    case fs::file_type::not_found:
        return Kind::missing;
    default:
        return Kind::other;
    }
}

// What each named entry of one folder is, from the folder's listing; a folder that cannot be
// listed has its entries looked at one by one.
std::map<std::string, Kind> kindsIn(const fs::path& folder, const std::vector<std::string>& names)
{
    std::map<std::string, Kind> kinds;
    const FolderEntries entries = listEntries(folder);
    if (entries.error != 0) {
        for (const std::string& name : names)
            kinds[name] = kindOf(folder / name);
        return kinds;
    }
    for (const std::string& name : names)
        kinds[name] = Kind::missing;
    const auto note = [&kinds](const std::vector<std::string>& listed, Kind kind) {
        for (const std::string& name : listed) {
            if (const auto found = kinds.find(name); found != kinds.end())
                found->second = kind;
        }
    };
    note(entries.files, Kind::regular);
    note(entries.irregular, Kind::other);
    note(entries.subfolders, Kind::folder);
    return kinds;
}

} // namespace

SelectionWalk walkSelection(const std::vector<fs::path>& selection, std::stop_token stop,
                            int listers, WalkProgress* progress)
{
    SelectionWalk result;
    // Each entry by the folder it is in, as given and as a name there.
    std::map<fs::path, std::vector<std::pair<fs::path, std::string>>> byFolder;
    for (const fs::path& given : selection) {
        const fs::path path = fs::absolute(given);
        const fs::path normal = path.lexically_normal();
        const fs::path named = normal.has_filename() ? normal : normal.parent_path();
        if (!named.has_filename()) // the root of the file system
            byFolder[named].emplace_back(path, std::string());
        else
            byFolder[named.parent_path()].emplace_back(path, named.filename().native());
    }

    // Folders by their normal form, files by name: what is named twice counts once.
    std::map<std::string, fs::path> folders;
    std::map<fs::path, std::map<std::string, Kind>> files;
    for (const auto& [folder, entries] : byFolder) {
        std::map<std::string, Kind> kinds;
        if (selection.size() == 1 || entries.front().second.empty()) {
            kinds[entries.front().second] = kindOf(entries.front().first);
        } else {
            std::vector<std::string> names;
            for (const auto& entry : entries)
                names.push_back(entry.second);
            kinds = kindsIn(folder, names);
        }
        for (const auto& [path, name] : entries) {
            const Kind kind = kinds[name];
            if (kind == Kind::folder)
                folders.emplace(withSlash(path.lexically_normal()), path);
            else if (kind == Kind::missing)
                result.missing.push_back(path);
            else
                files[folder].emplace(name, kind);
        }
    }

    struct Group {
        fs::path path;
        bool isFolder;
    };
    std::vector<Group> groups;
    std::vector<std::string> selectedFolders;
    for (const auto& entry : folders)
        selectedFolders.push_back(entry.first);
    for (const auto& [text, folder] : folders) {
        if (!isInside(text, selectedFolders))
            groups.push_back({folder, true});
    }
    for (const auto& entry : files)
        groups.push_back({entry.first, false});
    const NaturalOrder order;
    std::stable_sort(groups.begin(), groups.end(), [&order](const Group& a, const Group& b) {
        return order.compare(pathText(a.path), pathText(b.path)) < 0;
    });

    for (const Group& group : groups) {
        if (stop.stop_requested())
            break;
        const std::size_t first = result.folders.size();
        if (group.isFolder) {
            for (WalkedFolder& folder : walkFolder(group.path, stop, listers, progress)) {
                folder.parent += first;
                result.folders.push_back(std::move(folder));
            }
            continue;
        }
        const std::string folderText = withSlash(group.path);
        WalkedFolder folder{group.path.native(), first, {}, {}, 0};
        // In byte order, as `irregular` keeps them.
        for (const auto& [name, kind] : files[group.path]) {
            if (isInside(folderText + name, selectedFolders))
                continue;
            folder.files.push_back(name);
            if (kind != Kind::regular)
                folder.irregular.push_back(name);
        }
        if (folder.files.empty())
            continue;
        order.sort(folder.files);
        if (progress)
            progress->listed(folder.files);
        result.folders.push_back(std::move(folder));
    }
    return result;
}

} // namespace quillmark
