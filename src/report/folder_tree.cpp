#include "report/folder_tree.h"

#include "model/duration_label.h"
#include "model/path_text.h"

#include <QHash>

#include <algorithm>
#include <functional>

namespace quillmark {

std::vector<FolderTreeRow> folderTree(const ReportSummary& summary,
                                      const std::vector<std::int64_t>& folderSeconds)
{
    const auto& folders = summary.folders;
    const bool measured = folderSeconds.size() == std::size_t(folders.size());
    QHash<QString, int> rowOfPath;
    for (int row = 0; row < folders.size(); ++row)
        rowOfPath.insert(folders[row].path, row);

    std::vector<FolderTreeRow> tree(std::size_t(folders.size()));
    for (int row = 0; row < folders.size(); ++row) {
        const QString& path = folders[row].path;
        for (qsizetype cut = path.lastIndexOf(QLatin1Char('/')); cut > 0;
             cut = path.lastIndexOf(QLatin1Char('/'), cut - 1)) {
            const auto parent = rowOfPath.constFind(path.left(cut));
            if (parent != rowOfPath.cend() && *parent != row) {
                tree[std::size_t(row)].parent = *parent;
                break;
            }
        }
    }
    // Depths, relative paths and totals follow the parents, computed once each.
    std::function<int(int)> topOf = [&](int row) {
        const int parent = tree[std::size_t(row)].parent;
        return parent < 0 ? row : topOf(parent);
    };
    std::vector<qsizetype> rowsBelow(tree.size(), 0);
    for (int row = 0; row < folders.size(); ++row) {
        FolderTreeRow& node = tree[std::size_t(row)];
        const std::int64_t own =
            measured ? folderSeconds[std::size_t(row)] : labelSeconds(folders[row].totalLabel);
        for (int above = row; above >= 0; above = tree[std::size_t(above)].parent) {
            FolderTreeRow& ancestor = tree[std::size_t(above)];
            ancestor.subtreeSeconds = addSeconds(ancestor.subtreeSeconds, own);
            ++rowsBelow[std::size_t(above)];
            if (above != row)
                ++node.depth;
        }
        if (node.parent >= 0)
            tree[std::size_t(node.parent)].hasSubfolders = true;
        const int topRow = topOf(row);
        const QString& top = folders[topRow].path;
        const qsizetype below = top.endsWith(QLatin1Char('/')) ? top.size() : top.size() + 1;
        node.relativePath =
            row == topRow ? lastPathComponent(top.toStdString()) : folders[row].path.mid(below);
    }
    if (measured)
        return tree;
    for (std::size_t row = 0; row < tree.size(); ++row) {
        if (rowsBelow[row] == folders.size())
            tree[row].subtreeSeconds = labelSeconds(summary.grandTotalLabel);
        else
            tree[row].approximate = rowsBelow[row] > 1;
    }
    return tree;
}

std::vector<int> longestFirst(const std::vector<FolderTreeRow>& tree)
{
    std::vector<std::vector<int>> children(tree.size());
    std::vector<int> tops;
    for (int row = 0; row < int(tree.size()); ++row)
        (tree[std::size_t(row)].parent < 0 ? tops
                                           : children[std::size_t(tree[std::size_t(row)].parent)])
            .push_back(row);
    auto longest = [&](int a, int b) {
        return tree[std::size_t(a)].subtreeSeconds > tree[std::size_t(b)].subtreeSeconds;
    };
    std::vector<int> order;
    order.reserve(tree.size());
    std::function<void(std::vector<int>&)> visit = [&](std::vector<int>& rows) {
        std::stable_sort(rows.begin(), rows.end(), longest);
        for (int row : rows) {
            order.push_back(row);
            visit(children[std::size_t(row)]);
        }
    };
    visit(tops);
    return order;
}

} // namespace quillmark
