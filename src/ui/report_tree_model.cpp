#include "ui/report_tree_model.h"

#include "model/duration_label.h"
#include "model/playback_speed.h"
#include "ui/display_text.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace quillmark {

namespace {

constexpr quintptr fileFlag = quintptr(1) << 63;
// The folder in the low bits, the place above: Qt hashes persistent indexes on the low bits.
constexpr int placeShift = 32;

} // namespace

ReportTreeModel::ReportTreeModel(QObject* parent)
    : QAbstractItemModel(parent)
{
}

quintptr ReportTreeModel::fileId(int node, int place)
{
    return fileFlag | (quintptr(place) << placeShift) | quintptr(node);
}

ReportTreeModel::Item ReportTreeModel::itemOf(const QModelIndex& index)
{
    const quintptr id = index.internalId();
    if (id & fileFlag)
        return Item{int(id & 0xffffffffu), int((id & ~fileFlag) >> placeShift)};
    return Item{int(id) - 1, -1};
}

void ReportTreeModel::setReport(const ReportSummary& summary,
                                const std::vector<FolderTreeRow>& tree,
                                const std::vector<int>& order, std::int64_t grandTotalSeconds,
                                const std::vector<MeasuredFile>& measured, bool filesByDuration)
{
    beginResetModel();
    m_summary = summary;
    m_tree = tree;
    m_grandTotalSeconds = grandTotalSeconds;
    m_tops.clear();
    m_children.assign(tree.size(), {});
    m_place.assign(tree.size(), 0);
    for (const int node : order) {
        const int parent = m_tree[std::size_t(node)].parent;
        std::vector<int>& siblings = parent < 0 ? m_tops : m_children[std::size_t(parent)];
        m_place[std::size_t(node)] = int(siblings.size());
        siblings.push_back(node);
    }
    m_fileOrder.assign(tree.size(), {});
    const bool exact = measuredEveryFile(summary, measured);
    for (std::size_t node = 0; filesByDuration && node < tree.size(); ++node) {
        const FolderRow* folder = folderOf(int(node));
        if (!folder || folder->fileCount() < 2)
            continue;
        std::vector<std::int64_t> seconds;
        for (qsizetype file = 0; file < folder->fileCount(); ++file)
            seconds.push_back(exact ? measured[std::size_t(folder->firstFile() + file)].seconds
                                    : labelSeconds(folder->fileLabel(file).toString()));
        std::vector<int>& files = m_fileOrder[node];
        files.resize(seconds.size());
        std::iota(files.begin(), files.end(), 0);
        std::stable_sort(files.begin(), files.end(), [&](int a, int b) {
            return seconds[std::size_t(a)] > seconds[std::size_t(b)];
        });
    }
    endResetModel();
}

const FolderRow* ReportTreeModel::folderOf(int node) const
{
    const int row = m_tree[std::size_t(node)].row;
    return row >= 0 ? &m_summary.folders[row] : nullptr;
}

int ReportTreeModel::fileCount(int node) const
{
    const FolderRow* folder = folderOf(node);
    return folder ? int(folder->fileCount()) : 0;
}

int ReportTreeModel::fileAt(int node, int place) const
{
    const std::vector<int>& files = m_fileOrder[std::size_t(node)];
    return files.empty() ? place : files[std::size_t(place)];
}

int ReportTreeModel::rowOfNode(int node) const
{
    const int parent = m_tree[std::size_t(node)].parent;
    return (parent < 0 ? 0 : fileCount(parent)) + m_place[std::size_t(node)];
}

QModelIndex ReportTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column != 0)
        return {};
    if (!parent.isValid())
        return row < rowCount() ? createIndex(row, 0, folderId(m_tops[std::size_t(row)]))
                                : QModelIndex();
    const Item item = itemOf(parent);
    if (item.file >= 0)
        return {};
    const int files = fileCount(item.node);
    if (row < files)
        return createIndex(row, 0, fileId(item.node, row));
    const std::vector<int>& folders = m_children[std::size_t(item.node)];
    return row - files < int(folders.size())
               ? createIndex(row, 0, folderId(folders[std::size_t(row - files)]))
               : QModelIndex();
}

QModelIndex ReportTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    const Item item = itemOf(child);
    const int parent = item.file >= 0 ? item.node : m_tree[std::size_t(item.node)].parent;
    return parent < 0 ? QModelIndex() : createIndex(rowOfNode(parent), 0, folderId(parent));
}

int ReportTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_shown ? int(m_tops.size()) : 0;
    const Item item = itemOf(parent);
    if (item.file >= 0)
        return 0;
    return fileCount(item.node) + int(m_children[std::size_t(item.node)].size());
}

int ReportTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool ReportTreeModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

Qt::ItemFlags ReportTreeModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractItemModel::flags(index);
    if (index.isValid() && itemOf(index).file >= 0)
        flags |= Qt::ItemNeverHasChildren;
    return flags;
}

void ReportTreeModel::setPlaybackSpeed(int hundredths, bool exact)
{
    if (hundredths == m_playbackSpeed && exact == m_exactSeconds)
        return;
    m_playbackSpeed = hundredths;
    m_exactSeconds = exact;
    // Every folder row may show a subtree total: the rows are laid out again as they stand,
    // open and selected as they were.
    Q_EMIT layoutAboutToBeChanged();
    Q_EMIT layoutChanged();
}

void ReportTreeModel::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    beginResetModel();
    m_shown = shown;
    endResetModel();
}

void ReportTreeModel::split(const QModelIndexList& rows, std::vector<int>& folders,
                            std::vector<std::pair<int, qsizetype>>& files) const
{
    for (const QModelIndex& index : rows) {
        if (!index.isValid() || index.model() != this)
            continue;
        const Item item = itemOf(index);
        if (item.file < 0)
            folders.push_back(item.node);
        else
            files.emplace_back(m_tree[std::size_t(item.node)].row, fileAt(item.node, item.file));
    }
}

std::vector<QModelIndex> ReportTreeModel::filesInError() const
{
    std::vector<QModelIndex> found;
    std::vector<int> pending(m_tops.rbegin(), m_tops.rend());
    while (!pending.empty()) {
        const int node = pending.back();
        pending.pop_back();
        if (const FolderRow* folder = folderOf(node)) {
            for (int place = 0; place < int(folder->fileCount()); ++place) {
                if (folder->fileHasError(fileAt(node, place)))
                    found.push_back(createIndex(place, 0, fileId(node, place)));
            }
        }
        const std::vector<int>& below = m_children[std::size_t(node)];
        pending.insert(pending.end(), below.rbegin(), below.rend());
    }
    return found;
}

QString ReportTreeModel::subtreeLabel(int node) const
{
    const FolderTreeRow& entry = m_tree[std::size_t(node)];
    if (!entry.hasSubfolders)
        return {};
    // A sum of a loaded report's rounded labels says so, beside its exact grand total.
    return withWatchTime((entry.approximate ? tr("≈ %1 in tutto") : tr("%1 in tutto"))
                             .arg(formatDuration(entry.subtreeSeconds)),
                         entry.subtreeSeconds, m_playbackSpeed,
                         entry.approximate || !m_exactSeconds);
}

QVariant ReportTreeModel::folderData(int node, int role) const
{
    const FolderTreeRow& entry = m_tree[std::size_t(node)];
    const FolderRow* folder = folderOf(node);
    const double share =
        m_grandTotalSeconds > 0 ? double(entry.subtreeSeconds) / double(m_grandTotalSeconds) : 0.0;
    switch (role) {
    case Qt::DisplayRole:
        return displayedName(entry.name);
    case Qt::ToolTipRole:
        return tooltipText(treePath(m_summary, entry));
    case Qt::AccessibleTextRole: {
        // The name with every total shown beside it, and the share its bar draws.
        QStringList parts{displayedName(entry.name)};
        if (folder)
            parts.append(folder->totalLabel);
        if (const QString subtree = subtreeLabel(node); !subtree.isEmpty())
            parts.append(subtree);
        if (share > 0 && share < 1)
            parts.append(tr("%1% del totale").arg(QLocale().toString(std::lround(share * 100))));
        return parts.join(QStringLiteral(", "));
    }
    case Qt::AccessibleDescriptionRole:
        // Qt's bridge cannot tell a screen reader how deep a tree's row lies: the row says it.
        return tr("livello %1").arg(entry.depth + 1);
    case PathRole:
        return treePath(m_summary, entry);
    case IsFolderRole:
        return true;
    case IsGroupRole:
        return !folder;
    case HasFilesRole:
        return folder && folder->fileCount() > 0;
    case LabelRole:
        return folder ? folder->totalLabel : QString();
    case DepthRole:
        return entry.depth;
    case SubtreeLabelRole:
        return subtreeLabel(node);
    case ShareRole:
        return share;
    default:
        return {};
    }
}

QVariant ReportTreeModel::fileData(const Item& item, int role) const
{
    const FolderTreeRow& entry = m_tree[std::size_t(item.node)];
    const FolderRow& folder = *folderOf(item.node);
    const FileRow file = folder.file(fileAt(item.node, item.file));
    switch (role) {
    case Qt::DisplayRole:
        return displayedName(file.name);
    case Qt::ToolTipRole:
        return tooltipText(file.errorMessage ? *file.errorMessage
                                             : fileData(item, PathRole).toString());
    case Qt::AccessibleTextRole:
        return displayedName(file.name) + QStringLiteral(", ") + file.durationLabel;
    case Qt::AccessibleDescriptionRole:
        return file.errorMessage ? QVariant(*file.errorMessage) : QVariant();
    case PathRole: {
        const QString path = treePath(m_summary, entry);
        return path + (path.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) +
               file.name;
    }
    case IsFolderRole:
    case IsGroupRole:
    case HasFilesRole:
        return false;
    case LabelRole:
        return file.durationLabel;
    case ErrorRole:
        return file.errorMessage ? QVariant(*file.errorMessage) : QVariant();
    case IsLastFileRole:
        return item.file + 1 == int(folder.fileCount());
    case DepthRole:
        return entry.depth;
    default:
        return {};
    }
}

QVariant ReportTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return tr("Cartelle e file");
    return QAbstractItemModel::headerData(section, orientation, role);
}

QVariant ReportTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return {};
    const Item item = itemOf(index);
    return item.file < 0 ? folderData(item.node, role) : fileData(item, role);
}

} // namespace quillmark
