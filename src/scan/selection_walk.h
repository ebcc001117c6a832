#pragma once

#include "scan/folder_walk.h"

#include <filesystem>
#include <stop_token>
#include <vector>

namespace quillmark {

// A selection of files and folders, as a file manager passes it, walked as one tree would be:
// each folder with everything below it, and the other entries grouped by the folder they are in.
// Entries inside a selected folder, and entries named twice, count once. The groups come in
// natural order of their paths; the first folder of each is its own parent and has its whole path
// as its name, so WalkPaths and a report read it as a walk. A selected folder that cannot be
// listed keeps its listingError.
struct SelectionWalk {
    std::vector<WalkedFolder> folders;
    std::vector<std::filesystem::path> missing; // named but not there
};

// Entries are told apart by one listing of each folder they are in, not a stat each, since on a
// share every stat is a round trip; one entry alone is looked at directly, so a selection of one
// folder costs what that folder's walk does.
SelectionWalk walkSelection(const std::vector<std::filesystem::path>& selection,
                            std::stop_token stop = {}, int listers = 16,
                            WalkProgress* progress = nullptr);

} // namespace quillmark
