#pragma once

#include "model/report_model.h"
#include "report/folder_tree.h"

#include <QAbstractListModel>
#include <QSet>

#include <vector>

namespace quillmark {

// The per-folder report as one flat list: each folder row, followed by its file rows while the
// folder is open. Which folders are open is kept by path, so it survives new reports: a folder
// that comes back under the same path opens again.
class ReportRowsModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        IsFolderRole = Qt::UserRole + 1,
        LabelRole,         // the folder total or the file's duration label
        ErrorRole,         // the file's error message, when it has one
        IsExpandedRole,    // on folder rows
        IsLastInGroupRole, // the last row drawn on an open folder's background
        DepthRole,         // on folder rows: how many folder rows stand above it
        SubtreeLabelRole,  // on folder rows with subfolders: "10h32m in tutto"
        ShareRole          // on folder rows: its subtree's share of the grand total, 0 to 1
    };

    explicit ReportRowsModel(QObject* parent = nullptr);

    // The rows of the summary, folders in the given order, each with its place in the tree.
    void setReport(const ReportSummary& summary, const std::vector<FolderTreeRow>& tree,
                   const std::vector<int>& order, std::int64_t grandTotalSeconds);
    // Opens a closed folder row, closes an open one; other rows ignore it.
    void toggle(int row);
    const QSet<QString>& expandedFolders() const { return m_expandedFolders; }
    // The row of the folder a row belongs to (a folder row is its own); -1 outside the list.
    int folderRowOf(int row) const;
    // Opens the first folder, in the shown order, that holds a file in error; its row, or -1.
    int openFirstFolderInError();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    struct Row {
        int folder;
        int file; // -1 on a folder row
    };

    void rebuild();
    bool isExpanded(int folder) const;

    ReportSummary m_summary;
    std::vector<FolderTreeRow> m_tree;
    std::vector<int> m_order;
    std::int64_t m_grandTotalSeconds = 0;
    QSet<QString> m_expandedFolders;
    std::vector<Row> m_rows;
};

} // namespace quillmark
