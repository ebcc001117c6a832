#pragma once

#include "model/report_model.h"
#include "report/folder_tree.h"

#include <QAbstractListModel>
#include <QSet>

#include <vector>

namespace quillmark {

// The per-folder report as one flat list in tree order: each folder of the tree (a report row,
// or a group above rows), followed by its file rows while the folder is open. Which folders are
// open is kept by path, so it survives new reports: a folder that comes back under the same path
// opens again.
class ReportRowsModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        IsFolderRole = Qt::UserRole + 1,
        IsGroupRole,       // a folder with rows below it but no row, no files, no total of its own
        LabelRole,         // the folder total or the file's duration label; none on a group
        ErrorRole,         // the file's error message, when it has one
        IsExpandedRole,    // on folder rows
        IsLastInGroupRole, // the last row drawn on an open folder's background
        DepthRole,         // how many folders stand above the row's folder
        SubtreeLabelRole,  // on folders with subfolders: "10h32m in tutto"
        ShareRole,         // on folders: its subtree's share of the grand total, 0 to 1
        PathRole           // the folder's or the file's full path
    };

    explicit ReportRowsModel(QObject* parent = nullptr);

    // The summary's folders in the given order of its tree; the files of each longest first
    // when filesByDuration, else in the report's order.
    void setReport(const ReportSummary& summary, const std::vector<FolderTreeRow>& tree,
                   const std::vector<int>& order, std::int64_t grandTotalSeconds,
                   bool filesByDuration);
    // Subtree totals also at this speed (hundredths; 100: not), approximate unless `exact`.
    void setPlaybackSpeed(int hundredths, bool exact);
    // The folders (entries of the tree) and the files (folder row, index) of some rows.
    void split(const QModelIndexList& rows, std::vector<int>& folders,
               std::vector<std::pair<int, qsizetype>>& files) const;
    // Opens a closed folder row, closes an open one; other rows ignore it.
    void toggle(int row);
    const QSet<QString>& expandedFolders() const { return m_expandedFolders; }
    // The row of the folder a row belongs to (a folder row is its own); -1 outside the list.
    int folderRowOf(int row) const;
    // Opens the first folder, in the shown order, that holds a file in error; the row of that
    // file, or -1.
    int showFirstFileInError();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    struct Row {
        int node;
        int file; // the file's index in its folder; -1 on a folder row
    };

    void rebuild();
    bool isExpanded(int node) const;
    // The files of a folder row in the order they are shown.
    std::vector<int> fileOrder(int node) const;
    const FolderRow* folderOf(int node) const;

    ReportSummary m_summary;
    std::vector<FolderTreeRow> m_tree;
    std::vector<int> m_order;
    std::int64_t m_grandTotalSeconds = 0;
    bool m_filesByDuration = false;
    int m_playbackSpeed = 100;
    bool m_exactSeconds = true;
    QSet<QString> m_expandedFolders;
    std::vector<Row> m_rows;
};

} // namespace quillmark
