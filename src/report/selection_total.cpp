#include "report/selection_total.h"

#include "model/duration_label.h"

#include <algorithm>
#include <map>
#include <set>

namespace quillmark {

SelectionTotal selectionTotal(const ReportSummary& summary, const std::vector<FolderTreeRow>& tree,
                              const std::vector<MeasuredFile>& measured,
                              const std::vector<int>& folders, const std::vector<ReportFile>& files,
                              std::optional<std::int64_t> grandTotal)
{
    const int rowCount = int(summary.folders.size());
    std::vector<bool> chosen(tree.size(), false);
    for (const int node : folders) {
        if (node >= 0 && std::size_t(node) < tree.size())
            chosen[std::size_t(node)] = true;
    }
    // The chosen folders no chosen folder above holds, each standing for its whole subtree.
    std::vector<int> tops;
    std::vector<bool> covered(std::size_t(rowCount), false);
    for (std::size_t node = 0; node < tree.size(); ++node) {
        if (!chosen[node])
            continue;
        int up = tree[node].parent;
        while (up >= 0 && !chosen[std::size_t(up)])
            up = tree[std::size_t(up)].parent;
        if (up < 0)
            tops.push_back(int(node));
    }
    for (std::size_t node = 0; node < tree.size(); ++node) {
        const int row = tree[node].row;
        for (int up = int(node); row >= 0 && up >= 0 && !covered[std::size_t(row)];
             up = tree[std::size_t(up)].parent)
            covered[std::size_t(row)] = chosen[std::size_t(up)];
    }
    // Files chosen one by one that no chosen folder holds; a folder whose every file was chosen
    // so is whole.
    std::set<ReportFile> single;
    for (const auto& [row, file] : files) {
        if (row >= 0 && row < rowCount && !covered[std::size_t(row)] && file >= 0 &&
            file < summary.folders[row].fileCount())
            single.insert({row, file});
    }
    std::map<int, qsizetype> chosenFiles;
    for (const auto& [row, file] : single)
        ++chosenFiles[row];
    std::vector<int> wholeRows;
    for (const auto& [row, count] : chosenFiles) {
        if (count == summary.folders[row].fileCount()) {
            wholeRows.push_back(row);
            covered[std::size_t(row)] = true;
        }
    }
    std::erase_if(single, [&](const ReportFile& file) { return covered[std::size_t(file.first)]; });

    SelectionTotal total;
    for (int row = 0; row < rowCount; ++row)
        total.videos += covered[std::size_t(row)] ? summary.folders[row].fileCount() : 0;
    total.videos += qsizetype(single.size());

    if (measuredEveryFile(summary, measured)) {
        auto add = [&](int row, qsizetype file) {
            const FolderRow& folder = summary.folders[row];
            total.seconds =
                addSeconds(total.seconds, measured[std::size_t(folder.firstFile() + file)].seconds);
        };
        for (int row = 0; row < rowCount; ++row) {
            for (qsizetype file = 0;
                 covered[std::size_t(row)] && file < summary.folders[row].fileCount(); ++file)
                add(row, file);
        }
        for (const auto& [row, file] : single)
            add(row, file);
        return total;
    }

    const bool everyRow =
        rowCount > 0 && std::all_of(covered.begin(), covered.end(), [](bool row) { return row; });
    if (everyRow && single.empty() && grandTotal) {
        total.seconds = *grandTotal;
        return total;
    }
    int parts = 0;
    for (const int node : tops) {
        total.seconds = addSeconds(total.seconds, tree[std::size_t(node)].subtreeSeconds);
        total.approximate = total.approximate || tree[std::size_t(node)].approximate;
        ++parts;
    }
    for (const int row : wholeRows) {
        total.seconds = addSeconds(total.seconds, labelSeconds(summary.folders[row].totalLabel));
        ++parts;
    }
    for (const auto& [row, file] : single) {
        total.seconds = addSeconds(total.seconds,
                                   labelSeconds(summary.folders[row].fileLabel(file).toString()));
        ++parts;
    }
    total.approximate = total.approximate || parts > 1;
    return total;
}

} // namespace quillmark
