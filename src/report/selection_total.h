#pragma once

#include "model/report_model.h"
#include "report/folder_tree.h"

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace quillmark {

// What a set of rows adds up to.
struct SelectionTotal {
    qsizetype videos = 0;
    std::int64_t seconds = 0;
    // A sum of several rounded labels: a report read back from text knows no seconds.
    bool approximate = false;
};

// A file of the report: its folder row and its index there.
using ReportFile = std::pair<int, qsizetype>;

// The total of some folders (entries of the tree, each with its whole subtree) and some files,
// each file counted once however it was chosen. With the seconds `measured` (one per report
// file) the total is exact. Otherwise it is made as the tree's totals are: a chosen folder
// counts its subtree's total, a folder whose every file was chosen counts its own, a selection
// of every row is the grand total the report states (`grandTotal`), and only the labels of files
// chosen one by one are added up.
SelectionTotal selectionTotal(const ReportSummary& summary, const std::vector<FolderTreeRow>& tree,
                              const std::vector<MeasuredFile>& measured,
                              const std::vector<int>& folders, const std::vector<ReportFile>& files,
                              std::optional<std::int64_t> grandTotal = std::nullopt);

} // namespace quillmark
