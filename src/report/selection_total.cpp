#include "report/selection_total.h"

#include "model/duration_label.h"

#include <set>

namespace quillmark {

SelectionTotal selectionTotal(const ReportSummary& summary, const std::vector<FolderTreeRow>& tree,
                              const std::vector<MeasuredFile>& measured,
                              const std::vector<int>& folders, const std::vector<ReportFile>& files)
{
    std::vector<bool> chosen(tree.size(), false);
    for (const int node : folders) {
        if (node >= 0 && std::size_t(node) < tree.size())
            chosen[std::size_t(node)] = true;
    }
    // A report row is covered when it or a folder above it was chosen.
    std::vector<bool> covered(std::size_t(summary.folders.size()), false);
    for (std::size_t node = 0; node < tree.size(); ++node) {
        if (tree[node].row < 0)
            continue;
        for (int up = int(node); up >= 0 && !covered[std::size_t(tree[node].row)];
             up = tree[std::size_t(up)].parent)
            covered[std::size_t(tree[node].row)] = chosen[std::size_t(up)];
    }

    const bool exact = measuredEveryFile(summary, measured);
    SelectionTotal total{0, 0, !exact};
    auto add = [&](int row, qsizetype file) {
        const FolderRow& folder = summary.folders[row];
        const std::int64_t seconds = exact
                                         ? measured[std::size_t(folder.firstFile() + file)].seconds
                                         : labelSeconds(folder.fileLabel(file).toString());
        total.seconds = addSeconds(total.seconds, seconds);
        ++total.videos;
    };
    for (int row = 0; row < int(covered.size()); ++row) {
        if (covered[std::size_t(row)]) {
            for (qsizetype file = 0; file < summary.folders[row].fileCount(); ++file)
                add(row, file);
        }
    }
    std::set<ReportFile> counted;
    for (const auto& [row, file] : files) {
        if (row < 0 || row >= int(covered.size()) || covered[std::size_t(row)] || file < 0 ||
            file >= summary.folders[row].fileCount() || !counted.insert({row, file}).second)
            continue;
        add(row, file);
    }
    return total;
}

} // namespace quillmark
