#pragma once

#include "model/report_model.h"
#include "report/folder_tree.h"

#include <QByteArrayView>

#include <functional>

namespace quillmark {

// The summary as compact UTF-8 JSON, keys in the order of the model, each folder with the total
// of its subtree after its own (and whether that total adds up rounded labels); an absent error
// message is left out, an empty one is kept. Handed to `write` in pieces of about 64 KiB, so that
// a report of millions of rows is never held whole a second time; stops when a write fails.
bool writeSummaryJson(const ReportSummary& summary, const std::vector<FolderTreeRow>& tree,
                      const std::function<bool(QByteArrayView)>& write);

} // namespace quillmark
