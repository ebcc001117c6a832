#pragma once

#include "model/report_model.h"
#include "report/folder_tree.h"

#include <QByteArray>

namespace quillmark {

// The summary as compact UTF-8 JSON, keys in the order of the model, each folder with the total
// of its subtree after its own; an absent error message is left out, an empty one is kept.
QByteArray summaryJson(const ReportSummary& summary, const std::vector<FolderTreeRow>& tree);

} // namespace quillmark
