#pragma once

#include "model/report_model.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace quillmark {

// Where a folder row stands in the tree the report describes.
struct FolderTreeRow {
    int parent = -1;      // the nearest folder row above it, -1 for a top row
    int depth = 0;        // how many folder rows stand above it
    QString relativePath; // its path below its top row ("Stagione 1/Extra"); a top row's name
    std::int64_t subtreeSeconds = 0; // its own total and those of every row below it
    // A sum of rounded labels, which may differ from the rounded sum of what was measured.
    bool approximate = false;
    bool hasSubfolders = false;
};

// The tree of a report's folder rows, found by their paths whatever their order. Totals come
// from the seconds a calculation measured (one per row) or, for a report read from text, from
// the rows' labels, which are whole minutes: then a subtree of several rows is approximate,
// except one that holds every row, whose total is the report's grand total.
std::vector<FolderTreeRow> folderTree(const ReportSummary& summary,
                                      const std::vector<std::int64_t>& folderSeconds = {});

// The rows in tree order with the longest subtree first among siblings; siblings of equal
// length keep their report order, and every row stays under its parent.
std::vector<int> longestFirst(const std::vector<FolderTreeRow>& tree);

} // namespace quillmark
