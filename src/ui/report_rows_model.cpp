#include "ui/report_rows_model.h"

#include "model/duration_label.h"
#include "model/playback_speed.h"
#include "ui/display_text.h"

#include <algorithm>
#include <numeric>

namespace quillmark {

ReportRowsModel::ReportRowsModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

void ReportRowsModel::setReport(const ReportSummary& summary,
                                const std::vector<FolderTreeRow>& tree,
                                const std::vector<int>& order, std::int64_t grandTotalSeconds,
                                bool filesByDuration)
{
    beginResetModel();
    m_summary = summary;
    m_tree = tree;
    m_order = order;
    m_grandTotalSeconds = grandTotalSeconds;
    m_filesByDuration = filesByDuration;
    rebuild();
    endResetModel();
}

const FolderRow* ReportRowsModel::folderOf(int node) const
{
    const int row = m_tree[std::size_t(node)].row;
    return row >= 0 ? &m_summary.folders[row] : nullptr;
}

bool ReportRowsModel::isExpanded(int node) const
{
    return folderOf(node) &&
           m_expandedFolders.contains(treePath(m_summary, m_tree[std::size_t(node)]));
}

std::vector<int> ReportRowsModel::fileOrder(int node) const
{
    const FolderRow* folder = folderOf(node);
    std::vector<int> files(folder ? std::size_t(folder->fileCount()) : 0);
    std::iota(files.begin(), files.end(), 0);
    if (m_filesByDuration) {
        std::vector<std::int64_t> seconds(files.size());
        for (const int file : files)
            seconds[std::size_t(file)] = labelSeconds(folder->fileLabel(file).toString());
        std::stable_sort(files.begin(), files.end(), [&](int a, int b) {
            return seconds[std::size_t(a)] > seconds[std::size_t(b)];
        });
    }
    return files;
}

void ReportRowsModel::rebuild()
{
    m_rows.clear();
    for (const int node : m_order) {
        m_rows.push_back(Row{node, -1});
        if (!isExpanded(node))
            continue;
        for (const int file : fileOrder(node))
            m_rows.push_back(Row{node, file});
    }
}

void ReportRowsModel::toggle(int row)
{
    if (row < 0 || row >= int(m_rows.size()) || m_rows[std::size_t(row)].file >= 0)
        return;
    const int node = m_rows[std::size_t(row)].node;
    if (!folderOf(node))
        return; // a group has no files to show
    const QString path = treePath(m_summary, m_tree[std::size_t(node)]);
    const std::vector<int> files = fileOrder(node);
    const int count = int(files.size());
    const auto at = m_rows.begin() + row + 1;
    if (isExpanded(node)) {
        m_expandedFolders.remove(path);
        if (count > 0) {
            beginRemoveRows({}, row + 1, row + count);
            m_rows.erase(at, at + count);
            endRemoveRows();
        }
    } else {
        m_expandedFolders.insert(path);
        if (count > 0) {
            beginInsertRows({}, row + 1, row + count);
            std::vector<Row> added;
            for (const int file : files)
                added.push_back(Row{node, file});
            m_rows.insert(at, added.begin(), added.end());
            endInsertRows();
        }
    }
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed);
}

int ReportRowsModel::showFirstFileInError()
{
    for (int row = 0; row < int(m_rows.size()); ++row) {
        const Row& entry = m_rows[std::size_t(row)];
        const FolderRow* folder = folderOf(entry.node);
        if (entry.file >= 0 || !folder)
            continue;
        bool inError = false;
        for (qsizetype file = 0; file < folder->fileCount() && !inError; ++file)
            inError = folder->fileHasError(file);
        if (!inError)
            continue;
        if (!isExpanded(entry.node))
            toggle(row);
        for (int fileRow = row + 1; fileRow < int(m_rows.size()); ++fileRow) {
            if (folder->fileHasError(m_rows[std::size_t(fileRow)].file))
                return fileRow;
        }
    }
    return -1;
}

int ReportRowsModel::folderRowOf(int row) const
{
    if (row < 0 || row >= int(m_rows.size()))
        return -1;
    while (m_rows[std::size_t(row)].file >= 0)
        --row;
    return row;
}

void ReportRowsModel::setPlaybackSpeed(int hundredths, bool exact)
{
    if (hundredths == m_playbackSpeed && exact == m_exactSeconds)
        return;
    m_playbackSpeed = hundredths;
    m_exactSeconds = exact;
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0), index(int(m_rows.size()) - 1), {SubtreeLabelRole});
}

void ReportRowsModel::split(const QModelIndexList& rows, std::vector<int>& folders,
                            std::vector<std::pair<int, qsizetype>>& files) const
{
    for (const QModelIndex& index : rows) {
        if (index.row() < 0 || index.row() >= int(m_rows.size()))
            continue;
        const Row& row = m_rows[std::size_t(index.row())];
        if (row.file < 0)
            folders.push_back(row.node);
        else
            files.emplace_back(m_tree[std::size_t(row.node)].row, row.file);
    }
}

int ReportRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ReportRowsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const Row& row = m_rows[std::size_t(index.row())];
    const FolderTreeRow& node = m_tree[std::size_t(row.node)];
    const FolderRow* folder = folderOf(row.node);
    const bool isFolder = row.file < 0;
    const std::optional<FileRow> file =
        isFolder ? std::nullopt : std::optional(folder->file(row.file));
    const QString label = !isFolder ? file->durationLabel : folder ? folder->totalLabel : QString();

    switch (role) {
    case Qt::DisplayRole:
        return displayedName(isFolder ? node.name : file->name);
    case Qt::ToolTipRole:
        return tooltipText(file && file->errorMessage ? *file->errorMessage
                                                      : data(index, PathRole).toString());
    case Qt::AccessibleTextRole: {
        // What a screen reader says of the row: its name and its duration.
        QString text = data(index, Qt::DisplayRole).toString();
        for (const QString& more : {label, data(index, SubtreeLabelRole).toString(),
                                    file && file->errorMessage ? *file->errorMessage : QString()}) {
            if (!more.isEmpty())
                text += QStringLiteral(", ") + more;
        }
        return text;
    }
    case PathRole: {
        const QString path = treePath(m_summary, node);
        return isFolder
                   ? path
                   : path + (path.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) +
                         file->name;
    }
    case IsFolderRole:
        return isFolder;
    case IsGroupRole:
        return !folder;
    case LabelRole:
        return label;
    case ErrorRole:
        return file && file->errorMessage ? QVariant(*file->errorMessage) : QVariant();
    case IsExpandedRole:
        return isExpanded(row.node);
    case DepthRole:
        return node.depth;
    case SubtreeLabelRole:
        if (!isFolder || !node.hasSubfolders)
            return {};
        // A sum of a loaded report's rounded labels says so, beside its exact grand total.
        return withWatchTime((node.approximate ? tr("≈ %1 in tutto") : tr("%1 in tutto"))
                                 .arg(formatDuration(node.subtreeSeconds)),
                             node.subtreeSeconds, m_playbackSpeed,
                             node.approximate || !m_exactSeconds);
    case ShareRole:
        return m_grandTotalSeconds > 0 ? double(node.subtreeSeconds) / double(m_grandTotalSeconds)
                                       : 0.0;
    case IsLastInGroupRole:
        return !folder    ? true
               : isFolder ? folder->fileCount() == 0 || !isExpanded(row.node)
                          : index.row() + 1 == int(m_rows.size()) ||
                                m_rows[std::size_t(index.row()) + 1].file < 0;
    default:
        return {};
    }
}

} // namespace quillmark
