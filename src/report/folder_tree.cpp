#include "report/folder_tree.h"

#include "model/duration_label.h"
#include "model/path_text.h"

#include <QHash>

#include <algorithm>
#include <functional>

namespace quillmark {

namespace {

QString parentPath(const QString& path)
{
    const qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
    return cut <= 0 ? QStringLiteral("/") : path.left(cut);
}

// The deepest folder that holds every path, each counted as a folder of its own.
QString commonFolder(const std::vector<QString>& paths)
{
    QString common = parentPath(paths.front());
    for (const QString& path : paths) {
        while (common != QLatin1String("/") && !path.startsWith(common + QLatin1Char('/')))
            common = parentPath(common);
    }
    return common;
}

} // namespace

std::vector<FolderTreeRow> folderTree(const ReportSummary& summary,
                                      const std::vector<std::int64_t>& folderSeconds)
{
    const auto& folders = summary.folders;
    if (folders.isEmpty())
        return {};
    const int rowCount = int(folders.size());
    const bool measured = folderSeconds.size() == std::size_t(rowCount);
    QHash<QString, int> nodeOfPath;
    std::vector<FolderTreeRow> tree(static_cast<std::size_t>(rowCount));
    for (int row = 0; row < rowCount; ++row) {
        tree[std::size_t(row)].row = row;
        tree[std::size_t(row)].path = folders[row].path;
        nodeOfPath.insert(folders[row].path, row);
    }
    // The nearest row above each row; what lies between becomes groups.
    std::vector<int> rowAbove(std::size_t(rowCount), -1);
    std::vector<QString> tops;
    for (int row = 0; row < rowCount; ++row) {
        const QString& path = folders[row].path;
        for (QString above = parentPath(path); above != path; above = parentPath(above)) {
            const auto found = nodeOfPath.constFind(above);
            if (found != nodeOfPath.cend() && *found != row) {
                rowAbove[std::size_t(row)] = *found;
                break;
            }
            if (above == QLatin1String("/"))
                break;
        }
        if (rowAbove[std::size_t(row)] < 0)
            tops.push_back(path);
    }
    const QString base = commonFolder(tops);
    for (int row = 0; row < rowCount; ++row) {
        const int above = rowAbove[std::size_t(row)];
        const QString anchor = above >= 0 ? folders[above].path : base;
        // The folders from the anchor down to the row's, each a group the first time it is met.
        int parent = above;
        const QString& path = folders[row].path;
        const qsizetype start = anchor == QLatin1String("/") ? 1 : anchor.size() + 1;
        for (qsizetype slash = path.indexOf(QLatin1Char('/'), start); slash > 0;
             slash = path.indexOf(QLatin1Char('/'), slash + 1)) {
            const QString group = path.left(slash);
            auto found = nodeOfPath.constFind(group);
            if (found == nodeOfPath.cend()) {
                FolderTreeRow node;
                node.path = group;
                node.parent = parent;
                tree.push_back(node);
                found = nodeOfPath.insert(group, int(tree.size()) - 1);
            }
            parent = *found;
        }
        tree[std::size_t(row)].parent = parent;
    }

    std::function<int(int)> depthOf = [&](int node) {
        const int parent = tree[std::size_t(node)].parent;
        return parent < 0 ? 0 : depthOf(parent) + 1;
    };
    std::vector<int> rowsBelow(tree.size(), 0);
    for (int node = 0; node < int(tree.size()); ++node) {
        FolderTreeRow& entry = tree[std::size_t(node)];
        entry.depth = depthOf(node);
        entry.name = lastPathComponent(entry.path.toStdString());
        if (entry.parent >= 0)
            tree[std::size_t(entry.parent)].hasSubfolders = true;
        if (entry.row < 0)
            continue;
        const std::int64_t own =
            measured ? folderSeconds[std::size_t(node)] : labelSeconds(folders[node].totalLabel);
        for (int above = node; above >= 0; above = tree[std::size_t(above)].parent) {
            FolderTreeRow& ancestor = tree[std::size_t(above)];
            ancestor.subtreeSeconds = addSeconds(ancestor.subtreeSeconds, own);
            ++rowsBelow[std::size_t(above)];
        }
    }
    if (measured)
        return tree;
    for (std::size_t node = 0; node < tree.size(); ++node) {
        if (rowsBelow[node] == rowCount)
            tree[node].subtreeSeconds = labelSeconds(summary.grandTotalLabel);
        else
            tree[node].approximate = rowsBelow[node] > 1;
    }
    return tree;
}

std::vector<int> treeOrder(const std::vector<FolderTreeRow>& tree, bool longestFirst)
{
    std::vector<std::vector<int>> children(tree.size());
    std::vector<int> tops;
    for (int node = 0; node < int(tree.size()); ++node) {
        const int parent = tree[std::size_t(node)].parent;
        (parent < 0 ? tops : children[std::size_t(parent)]).push_back(node);
    }
    // A group stands where its first row does.
    std::vector<int> firstRow(tree.size(), -1);
    std::function<int(int)> firstRowOf = [&](int node) {
        int& first = firstRow[std::size_t(node)];
        if (first >= 0)
            return first;
        first = tree[std::size_t(node)].row >= 0 ? tree[std::size_t(node)].row : int(tree.size());
        for (const int child : children[std::size_t(node)])
            first = std::min(first, firstRowOf(child));
        return first;
    };
    std::vector<int> order;
    order.reserve(tree.size());
    std::function<void(std::vector<int>&)> visit = [&](std::vector<int>& nodes) {
        std::sort(nodes.begin(), nodes.end(),
                  [&](int a, int b) { return firstRowOf(a) < firstRowOf(b); });
        if (longestFirst)
            std::stable_sort(nodes.begin(), nodes.end(), [&](int a, int b) {
                return tree[std::size_t(a)].subtreeSeconds > tree[std::size_t(b)].subtreeSeconds;
            });
        for (const int node : nodes) {
            order.push_back(node);
            visit(children[std::size_t(node)]);
        }
    };
    visit(tops);
    return order;
}

} // namespace quillmark
