#include "report/folder_tree.h"

#include "model/duration_label.h"

#include <algorithm>
#include <climits>
#include <unordered_map>

namespace quillmark {

namespace {

// The folders every row's path passes through, one node per folder, each named by a view into
// the path of the first row that passes through it. Node 0 is "/".
class PathTrie {
public:
    struct Node {
        int parent = -1;
        int depth = 0;
        int row = -1; // the first report row at this folder
        QStringView name;
        int pathRow = 0;
        qsizetype pathLength = 1;
    };

    explicit PathTrie(const QList<FolderRow>& folders)
    {
        m_nodes.push_back(Node{});
        m_nodes.front().name = u"/";
        m_rowNodes.reserve(std::size_t(folders.size()));
        for (int row = 0; row < int(folders.size()); ++row)
            m_rowNodes.push_back(insert(folders[row].path, row));
    }

    const Node& operator[](int node) const { return m_nodes[std::size_t(node)]; }
    int size() const { return int(m_nodes.size()); }
    int nodeOfRow(int row) const { return m_rowNodes[std::size_t(row)]; }
    // The deepest folder above every row; -1 when a row is "/" itself.
    int base() const
    {
        int common = nodeOfRow(0);
        for (int row = 1; row < int(m_rowNodes.size()); ++row) {
            int other = nodeOfRow(row);
            while (m_nodes[std::size_t(other)].depth > m_nodes[std::size_t(common)].depth)
                other = m_nodes[std::size_t(other)].parent;
            while (m_nodes[std::size_t(common)].depth > m_nodes[std::size_t(other)].depth)
                common = m_nodes[std::size_t(common)].parent;
            while (common != other) {
                common = m_nodes[std::size_t(common)].parent;
                other = m_nodes[std::size_t(other)].parent;
            }
        }
        return m_nodes[std::size_t(common)].row >= 0 ? m_nodes[std::size_t(common)].parent : common;
    }

private:
    struct Key {
        int parent;
        QStringView name;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const
        {
            return std::size_t(qHash(key.name)) * 31 + std::size_t(key.parent);
        }
    };

    // Empty components (repeated separators) are no folders.
    int insert(const QString& path, int row)
    {
        int node = 0;
        for (qsizetype start = 0; start < path.size();) {
            qsizetype end = path.indexOf(QLatin1Char('/'), start);
            if (end < 0)
                end = path.size();
            if (end > start)
                node = child(node, QStringView(path).sliced(start, end - start), row, end);
            start = end + 1;
        }
        if (m_nodes[std::size_t(node)].row < 0)
            m_nodes[std::size_t(node)].row = row;
        return node;
    }

    int child(int parent, QStringView name, int row, qsizetype pathLength)
    {
        const auto [found, added] = m_children.try_emplace(Key{parent, name}, size());
        if (added)
            m_nodes.push_back(
                Node{parent, m_nodes[std::size_t(parent)].depth + 1, -1, name, row, pathLength});
        return found->second;
    }

    std::vector<Node> m_nodes;
    std::vector<int> m_rowNodes;
    std::unordered_map<Key, int, KeyHash> m_children;
};

std::vector<FolderTreeRow> buildTree(const ReportSummary& summary,
                                     const std::vector<std::int64_t>& rowSeconds,
                                     std::optional<std::int64_t> grandTotal, bool exact)
{
    const auto& folders = summary.folders;
    if (folders.isEmpty())
        return {};
    const int rowCount = int(folders.size());
    const PathTrie trie(folders);
    const int base = trie.base();
    const int baseDepth = base < 0 ? -1 : trie[base].depth;

    // Entries: the rows first, then each group the first time a row below it is met.
    std::vector<int> entryOfNode(std::size_t(trie.size()), -1);
    std::vector<FolderTreeRow> tree(static_cast<std::size_t>(rowCount));
    std::vector<int> nodeOfEntry(static_cast<std::size_t>(rowCount));
    for (int row = 0; row < rowCount; ++row) {
        const int node = trie.nodeOfRow(row);
        nodeOfEntry[std::size_t(row)] = node;
        if (trie[node].row == row)
            entryOfNode[std::size_t(node)] = row;
        tree[std::size_t(row)].row = row;
        tree[std::size_t(row)].pathRow = row;
        tree[std::size_t(row)].pathLength = folders[row].path.size();
    }
    std::vector<int> chain;
    for (int row = 0; row < rowCount; ++row) {
        chain.clear();
        for (int node = trie[trie.nodeOfRow(row)].parent;
             node >= 0 && node != base && entryOfNode[std::size_t(node)] < 0;
             node = trie[node].parent)
            chain.push_back(node);
        for (auto node = chain.rbegin(); node != chain.rend(); ++node) {
            entryOfNode[std::size_t(*node)] = int(tree.size());
            nodeOfEntry.push_back(*node);
            FolderTreeRow& group = tree.emplace_back();
            group.pathRow = trie[*node].pathRow;
            group.pathLength = trie[*node].pathLength;
        }
    }

    // Each subtree's rows and seconds, added up from the deepest folders: a folder's node is
    // always made after the node above it. A second row of the same folder is a sibling of
    // the first, so it counts with the folder above.
    std::vector<std::int64_t> seconds(std::size_t(trie.size()), 0);
    std::vector<int> rows(std::size_t(trie.size()), 0);
    for (int row = 0; row < rowCount; ++row) {
        const int node = trie.nodeOfRow(row);
        const int at = trie[node].row == row || trie[node].parent < 0 ? node : trie[node].parent;
        seconds[std::size_t(at)] =
            addSeconds(seconds[std::size_t(at)], rowSeconds[std::size_t(row)]);
        ++rows[std::size_t(at)];
    }
    for (int node = trie.size() - 1; node > 0; --node) {
        const int parent = trie[node].parent;
        seconds[std::size_t(parent)] =
            addSeconds(seconds[std::size_t(parent)], seconds[std::size_t(node)]);
        rows[std::size_t(parent)] += rows[std::size_t(node)];
    }

    for (std::size_t entry = 0; entry < tree.size(); ++entry) {
        FolderTreeRow& node = tree[entry];
        const int trieNode = nodeOfEntry[entry];
        const bool second = node.row >= 0 && trie[trieNode].row != node.row;
        // A second row of a folder stands beside the first, under the folder above.
        const int above = trie[trieNode].parent;
        node.parent =
            above >= 0 && trie[above].depth > baseDepth ? entryOfNode[std::size_t(above)] : -1;
        node.depth = trie[trieNode].depth - baseDepth - 1;
        node.name = trie[trieNode].name.toString();
        if (node.parent >= 0)
            tree[std::size_t(node.parent)].hasSubfolders = true;
        const int subtreeRows = second ? 1 : rows[std::size_t(trieNode)];
        node.subtreeSeconds =
            second ? rowSeconds[std::size_t(node.row)] : seconds[std::size_t(trieNode)];
        if (exact)
            continue;
        if (subtreeRows == rowCount && grandTotal)
            node.subtreeSeconds = *grandTotal;
        else
            node.approximate = subtreeRows > 1;
    }
    return tree;
}

} // namespace

std::vector<FolderTreeRow> folderTree(const ReportSummary& summary,
                                      const std::vector<std::int64_t>& folderSeconds)
{
    Q_ASSERT(folderSeconds.size() == std::size_t(summary.folders.size()));
    return buildTree(summary, folderSeconds, std::nullopt, true);
}

std::vector<FolderTreeRow> folderTree(const ReadReport& report)
{
    const ReportSummary& summary = report.summary;
    std::vector<std::int64_t> labels;
    labels.reserve(std::size_t(summary.folders.size()));
    for (const FolderRow& folder : summary.folders)
        labels.push_back(labelSeconds(folder.totalLabel));
    std::optional<std::int64_t> grandTotal;
    if (report.grandTotalLabel)
        grandTotal = labelSeconds(*report.grandTotalLabel);
    return buildTree(summary, labels, grandTotal, false);
}

QString treePath(const ReportSummary& summary, const FolderTreeRow& node)
{
    return summary.folders[node.pathRow].path.left(node.pathLength);
}

std::vector<int> treeOrder(const std::vector<FolderTreeRow>& tree, bool longestFirst)
{
    const int count = int(tree.size());
    std::vector<std::vector<int>> children(tree.size());
    std::vector<int> tops;
    for (int node = 0; node < count; ++node) {
        const int parent = tree[std::size_t(node)].parent;
        (parent < 0 ? tops : children[std::size_t(parent)]).push_back(node);
    }
    // A group stands where its first row does: every entry's first row, from the deepest up, on
    // a list of the entries in which each comes after the one above it.
    std::vector<int> downward;
    downward.reserve(tree.size());
    for (std::vector<int> pending(tops); !pending.empty();) {
        const int node = pending.back();
        pending.pop_back();
        downward.push_back(node);
        pending.insert(pending.end(), children[std::size_t(node)].begin(),
                       children[std::size_t(node)].end());
    }
    std::vector<int> firstRow(tree.size());
    for (int node = 0; node < count; ++node)
        firstRow[std::size_t(node)] =
            tree[std::size_t(node)].row >= 0 ? tree[std::size_t(node)].row : INT_MAX;
    for (auto node = downward.rbegin(); node != downward.rend(); ++node) {
        const int parent = tree[std::size_t(*node)].parent;
        if (parent >= 0)
            firstRow[std::size_t(parent)] =
                std::min(firstRow[std::size_t(parent)], firstRow[std::size_t(*node)]);
    }
    auto arrange = [&](std::vector<int>& nodes) {
        std::sort(nodes.begin(), nodes.end(), [&](int a, int b) {
            return firstRow[std::size_t(a)] < firstRow[std::size_t(b)];
        });
        if (longestFirst)
            std::stable_sort(nodes.begin(), nodes.end(), [&](int a, int b) {
                return tree[std::size_t(a)].subtreeSeconds > tree[std::size_t(b)].subtreeSeconds;
            });
    };
    arrange(tops);
    for (std::vector<int>& siblings : children)
        arrange(siblings);
    std::vector<int> order;
    order.reserve(tree.size());
    for (std::vector<int> pending(tops.rbegin(), tops.rend()); !pending.empty();) {
        const int node = pending.back();
        pending.pop_back();
        order.push_back(node);
        const std::vector<int>& below = children[std::size_t(node)];
        pending.insert(pending.end(), below.rbegin(), below.rend());
    }
    return order;
}

} // namespace quillmark
