#pragma once

#include "model/report_model.h"
#include "report/report_reader.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace quillmark {

// A folder of the tree a report describes: one of the report's folder rows, or a group, a
// folder with rows below it but none of its own (its files, if any, matched no extension and
// were left out). It keeps its name and where its path is found, not the path: a tree costs
// memory and time in proportion to the report's text, however deep its folders lie.
struct FolderTreeRow {
    int row = -1;                    // the report's folder row it shows; -1 for a group
    int parent = -1;                 // the folder above it in the tree, -1 for a top one
    int depth = 0;                   // how many folders stand above it
    QString name;                    // its last path component
    std::int64_t subtreeSeconds = 0; // its own total and those of every row below it
    // A sum of rounded labels, which may differ from the rounded sum of what was measured.
    bool approximate = false;
    bool hasSubfolders = false;
    // Its path: the first pathLength characters of the path of report row pathRow.
    int pathRow = 0;
    qsizetype pathLength = 0;
};

// The tree of a report's folder rows, found by their paths whatever their order: first one
// entry per folder row, in the report's order, then the groups, each folder between a row and
// the row above it (or the folder all top rows share). Totals come from the seconds a
// calculation measured, one per row.
std::vector<FolderTreeRow> folderTree(const ReportSummary& summary,
                                      const std::vector<std::int64_t>& folderSeconds);
// The same for a report read from text, whose rows' labels are whole minutes: a subtree of one
// row is that row's total, one that holds every row is the report's grand total when it states
// one, and any other of several rows is approximate.
std::vector<FolderTreeRow> folderTree(const ReadReport& report);

// The path of an entry of the tree.
QString treePath(const ReportSummary& summary, const FolderTreeRow& node);

// The entries in tree order, every folder under the one above it: siblings in the report's
// order (a group where its first row stands) or, longestFirst, the longest subtree first with
// equal ones in the report's order.
std::vector<int> treeOrder(const std::vector<FolderTreeRow>& tree, bool longestFirst);

} // namespace quillmark
