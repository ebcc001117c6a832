#include "ui/report_rows_model.h"

#include "model/duration_label.h"

#include <algorithm>

namespace quillmark {

ReportRowsModel::ReportRowsModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

void ReportRowsModel::setReport(const ReportSummary& summary,
                                const std::vector<FolderTreeRow>& tree,
                                const std::vector<int>& order, std::int64_t grandTotalSeconds)
{
    beginResetModel();
    m_summary = summary;
    m_tree = tree;
    m_order = order;
    m_grandTotalSeconds = grandTotalSeconds;
    rebuild();
    endResetModel();
}

bool ReportRowsModel::isExpanded(int folder) const
{
    return m_expandedFolders.contains(m_summary.folders[folder].path);
}

void ReportRowsModel::rebuild()
{
    m_rows.clear();
    for (const int folder : m_order) {
        m_rows.push_back(Row{folder, -1});
        if (!isExpanded(folder))
            continue;
        for (int file = 0; file < m_summary.folders[folder].fileCount(); ++file)
            m_rows.push_back(Row{folder, file});
    }
}

void ReportRowsModel::toggle(int row)
{
    if (row < 0 || row >= int(m_rows.size()) || m_rows[std::size_t(row)].file >= 0)
        return;
    const int folder = m_rows[std::size_t(row)].folder;
    const QString& path = m_summary.folders[folder].path;
    const int fileCount = int(m_summary.folders[folder].fileCount());
    const auto at = m_rows.begin() + row + 1;
    if (isExpanded(folder)) {
        m_expandedFolders.remove(path);
        if (fileCount > 0) {
            beginRemoveRows({}, row + 1, row + fileCount);
            m_rows.erase(at, at + fileCount);
            endRemoveRows();
        }
    } else {
        m_expandedFolders.insert(path);
        if (fileCount > 0) {
            beginInsertRows({}, row + 1, row + fileCount);
            std::vector<Row> files;
            for (int file = 0; file < fileCount; ++file)
                files.push_back(Row{folder, file});
            m_rows.insert(at, files.begin(), files.end());
            endInsertRows();
        }
    }
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed);
}

int ReportRowsModel::openFirstFolderInError()
{
    for (int row = 0; row < int(m_rows.size()); ++row) {
        const Row& entry = m_rows[std::size_t(row)];
        if (entry.file >= 0)
            continue;
        const FolderRow& folder = m_summary.folders[entry.folder];
        bool inError = false;
        for (qsizetype file = 0; file < folder.fileCount() && !inError; ++file)
            inError = folder.fileHasError(file);
        if (!inError)
            continue;
        if (!isExpanded(entry.folder))
            toggle(row);
        return row;
    }
    return -1;
}

int ReportRowsModel::folderRowOf(int row) const
{
    if (row < 0 || row >= int(m_rows.size()))
        return -1;
    const int file = m_rows[std::size_t(row)].file;
    return file < 0 ? row : row - 1 - file;
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
    const FolderRow& folder = m_summary.folders[row.folder];
    const bool isFolder = row.file < 0;
    const std::optional<FileRow> file =
        isFolder ? std::nullopt : std::optional(folder.file(row.file));

    switch (role) {
    case Qt::DisplayRole:
        return isFolder ? m_tree[std::size_t(row.folder)].relativePath : file->name;
    case Qt::ToolTipRole:
        if (isFolder)
            return folder.path;
        // Rich text, which tooltips wrap: a long message stays readable.
        return file->errorMessage
                   ? QStringLiteral("<p>%1</p>").arg(file->errorMessage->toHtmlEscaped())
                   : file->name;
    case Qt::AccessibleTextRole: {
        // What a screen reader says of the row: its name and its duration.
        QString text = data(index, Qt::DisplayRole).toString() + QStringLiteral(", ") +
                       (isFolder ? folder.totalLabel : file->durationLabel);
        if (file && file->errorMessage)
            text += QStringLiteral(", ") + *file->errorMessage;
        return text;
    }
    case IsFolderRole:
        return isFolder;
    case LabelRole:
        return isFolder ? folder.totalLabel : file->durationLabel;
    case ErrorRole:
        return file && file->errorMessage ? QVariant(*file->errorMessage) : QVariant();
    case IsExpandedRole:
        return isExpanded(row.folder);
    case DepthRole:
        return m_tree[std::size_t(row.folder)].depth;
    case SubtreeLabelRole: {
        if (!isFolder || !m_tree[std::size_t(row.folder)].hasSubfolders)
            return {};
        const FolderTreeRow& node = m_tree[std::size_t(row.folder)];
        // A sum of a loaded report's rounded labels says so, beside its exact grand total.
        return (node.approximate ? tr("≈ %1 in tutto") : tr("%1 in tutto"))
            .arg(formatDuration(node.subtreeSeconds));
    }
    case ShareRole:
        return m_grandTotalSeconds > 0 ? double(m_tree[std::size_t(row.folder)].subtreeSeconds) /
                                             double(m_grandTotalSeconds)
                                       : 0.0;
    case IsLastInGroupRole:
        return isFolder ? folder.fileCount() == 0 : row.file == folder.fileCount() - 1;
    default:
        return {};
    }
}

} // namespace quillmark
