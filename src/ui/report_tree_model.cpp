#include "ui/report_tree_model.h"

#include "model/duration_label.h"
#include "model/path_text.h"
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

void ReportTreeModel::setReport(const LoadedReport& report, const std::vector<int>& order,
                                bool filesByDuration)
{
    beginResetModel();
    const std::vector<FolderTreeRow>& tree = report.tree;
    const std::vector<MeasuredFile>& measured = report.files;
    const ReportSummary& summary = report.summary;
    m_summary = summary;
    m_measured = measured;
    m_nativeFolderPaths = report.nativeFolderPaths;
    m_reportFolder = report.folderPath;
    m_renamedTo = report.renamedTo;
    m_tree = tree;
    m_grandTotalSeconds = report.grandTotalSeconds;
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
    measureWidestTotals();
    endResetModel();
}

void ReportTreeModel::setRenamedTo(const std::optional<std::filesystem::path>& to)
{
    if (to == m_renamedTo)
        return;
    m_renamedTo = to;
    Q_EMIT layoutAboutToBeChanged();
    Q_EMIT layoutChanged();
}

namespace {

// The path with its start moved from one folder to another, when it lies in the first.
template <class Path> Path moved(const Path& path, const Path& from, const Path& to)
{
    if (from.isEmpty() || !path.startsWith(from))
        return path;
    const auto rest = path.mid(from.size());
    if (!rest.isEmpty() && !rest.startsWith('/') && !from.endsWith('/'))
        return path;
    return to + rest;
}

} // namespace

QString ReportTreeModel::folderPath(int node) const
{
    const QString path = treePath(m_summary, m_tree[std::size_t(node)]);
    return m_renamedTo ? moved(path, pathText(m_reportFolder), pathText(*m_renamedTo)) : path;
}

// A report row's path from the calculation, or from the report when it shows it as it is; a
// group's, its first row's cut to the group's depth: a name never gains or loses a "/" in the
// report.
QByteArray ReportTreeModel::nativeFolderPath(int node) const
{
    const FolderTreeRow& entry = m_tree[std::size_t(node)];
    auto ofRow = [this](const FolderTreeRow& row) {
        const bool known = row.row >= 0 && std::size_t(row.row) < m_nativeFolderPaths.size() &&
                           !m_nativeFolderPaths[std::size_t(row.row)].isEmpty();
        return known ? m_nativeFolderPaths[std::size_t(row.row)]
                     : treePath(m_summary, row).toUtf8();
    };
    QByteArray path;
    if (entry.row >= 0) {
        path = ofRow(entry);
    } else {
        int below = node;
        while (m_tree[std::size_t(below)].row < 0 && !m_children[std::size_t(below)].empty())
            below = m_children[std::size_t(below)].front();
        path = ofRow(m_tree[std::size_t(below)]);
        const qsizetype separators = treePath(m_summary, entry).count(QLatin1Char('/'));
        qsizetype cut = 0;
        for (qsizetype seen = 0; cut < path.size(); ++cut) {
            if (path[cut] == '/' && ++seen > separators)
                break;
        }
        path.truncate(cut);
    }
    return m_renamedTo ? moved(path, QByteArray::fromStdString(m_reportFolder.native()),
                               QByteArray::fromStdString(m_renamedTo->native()))
                       : path;
}

void ReportTreeModel::measureWidestTotals()
{
    m_widest = {};
    for (std::size_t node = 0; node < m_tree.size(); ++node) {
        m_widest.subtree = std::max(m_widest.subtree, int(subtreeLabel(int(node)).size()));
        if (const FolderRow* folder = folderOf(int(node))) {
            m_widest.label = std::max(m_widest.label, int(folder->totalLabel.size()));
            for (qsizetype file = 0; file < folder->fileCount(); ++file)
                m_widest.label = std::max(m_widest.label, int(folder->fileLabel(file).size()));
        }
    }
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
    measureWidestTotals();
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

QModelIndexList ReportTreeModel::rowsAt(const QSet<QString>& paths) const
{
    QModelIndexList found;
    for (std::size_t node = 0; node < m_tree.size() && found.size() < paths.size(); ++node) {
        const QString path = folderPath(int(node));
        if (paths.contains(path))
            found.append(createIndex(rowOfNode(int(node)), 0, folderId(int(node))));
        const FolderRow* folder = folderOf(int(node));
        if (!folder)
            continue;
        const QString prefix = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
        for (int place = 0; place < int(folder->fileCount()); ++place) {
            if (paths.contains(prefix + folder->file(fileAt(int(node), place)).name))
                found.append(createIndex(place, 0, fileId(int(node), place)));
        }
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
        return tooltipText(folderPath(node));
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
        return folderPath(node);
    case NativePathRole:
        return nativeFolderPath(node);
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
        const QString path = folderPath(item.node);
        return path + (path.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) +
               file.name;
    }
    case NativePathRole: {
        const qsizetype number = folder.firstFile() + fileAt(item.node, item.file);
        const QByteArray native = std::size_t(number) < m_measured.size()
                                      ? m_measured[std::size_t(number)].nativeName
                                      : QByteArray();
        const QByteArray path = nativeFolderPath(item.node);
        return path + (path.endsWith('/') ? QByteArray() : QByteArray("/")) +
               (native.isEmpty() ? file.name.toUtf8() : native);
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
