#pragma once

#include "model/report_model.h"
#include "report/folder_tree.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace quillmark {

// What a set of rows adds up to.
struct SelectionTotal {
    qsizetype videos = 0;
    std::int64_t seconds = 0;
    // Made from rounded labels: a report read back from text knows no seconds.
    bool approximate = false;
};

// A file of the report: its folder row and its index there.
using ReportFile = std::pair<int, qsizetype>;

// The total of some folders (entries of the tree, each with its whole subtree) and some files,
// each file counted once however it was chosen. Seconds are those measured when `measured` has
// one per report file, else each file's label.
SelectionTotal selectionTotal(const ReportSummary& summary, const std::vector<FolderTreeRow>& tree,
                              const std::vector<MeasuredFile>& measured,
                              const std::vector<int>& folders,
                              const std::vector<ReportFile>& files);

} // namespace quillmark
