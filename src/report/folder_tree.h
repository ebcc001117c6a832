#pragma once

#include "model/report_model.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace quillmark {

// A folder of the tree a report describes: one of the report's folder rows, or a group, a
// folder with rows below it but none of its own (its files, if any, matched no extension and
// were left out).
struct FolderTreeRow {
    int row = -1; // the report's folder row it shows; -1 for a group
    QString path;
    int parent = -1;                 // the folder above it in the tree, -1 for a top one
    int depth = 0;                   // how many folders stand above it
    QString name;                    // its last path component
    std::int64_t subtreeSeconds = 0; // its own total and those of every row below it
    // A sum of rounded labels, which may differ from the rounded sum of what was measured.
    bool approximate = false;
    bool hasSubfolders = false;
};

// The tree of a report's folder rows, found by their paths whatever their order: first one
// entry per folder row, in the report's order, then the groups, each folder between a row and
// the row above it (or the folder all top rows share). Totals come from the seconds a
// calculation measured (one per row) or, for a report read from text, from the rows' labels,
// which are whole minutes: then a subtree of several rows is approximate, except one that holds
// every row, whose total is the report's grand total.
std::vector<FolderTreeRow> folderTree(const ReportSummary& summary,
                                      const std::vector<std::int64_t>& folderSeconds = {});

// The entries in tree order, every folder under the one above it: siblings in the report's
// order (a group where its first row stands) or, longestFirst, the longest subtree first with
// equal ones in the report's order.
std::vector<int> treeOrder(const std::vector<FolderTreeRow>& tree, bool longestFirst);

} // namespace quillmark
