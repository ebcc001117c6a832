#pragma once

#include "app/loaded_report.h"
#include "model/report_model.h"
#include "report/folder_tree.h"

#include <QAbstractItemModel>
#include <QSet>

#include <utility>
#include <vector>

namespace quillmark {

// The per-folder report as a tree: each folder of the report's tree (a report row, or a group
// above rows) holds its files, then the folders below it. Raw values travel in the roles below
// and the row delegate paints them; a screen reader reads each row's name with its totals
// (Qt::AccessibleTextRole) and a file's error as its description.
class ReportTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    enum Role {
        IsFolderRole = Qt::UserRole + 1,
        IsGroupRole,      // a folder with rows below it but no row, no files, no total of its own
        HasFilesRole,     // on folder rows
        LabelRole,        // the folder total or the file's duration label; none on a group
        ErrorRole,        // the file's error message, when it has one
        IsLastFileRole,   // the last file of its folder
        DepthRole,        // how many folders stand above the row's folder
        SubtreeLabelRole, // on folders with subfolders: "10h32m in tutto"
        ShareRole,        // on folders: its subtree's share of the grand total, 0 to 1
        PathRole,         // the folder's or the file's full path, as shown
        NativePathRole    // the same as the file system has it (QByteArray): a line break in a
                          // name is a line break, and bytes that are not UTF-8 are kept
    };

    explicit ReportTreeModel(QObject* parent = nullptr);

    // The report's folders in the given order of its tree; the files of each longest first
    // when filesByDuration (by the seconds measured, when there are any), else in the report's
    // order.
    void setReport(const LoadedReport& report, const std::vector<int>& order, bool filesByDuration);
    // The report's folder has a new name: the paths of the rows follow it.
    void setRenamedTo(const std::optional<std::filesystem::path>& to);
    // Subtree totals also at this speed (hundredths; 100: not), approximate unless `exact`.
    void setPlaybackSpeed(int hundredths, bool exact);
    // Whether the page that shows the tree is on screen. Off screen the tree holds no rows: Qt's
    // bridge would tell a screen reader that the rows of a hidden page are showing.
    void setShown(bool shown);

    // The folders (entries of the tree) and the files (folder row, index) of some rows.
    void split(const QModelIndexList& rows, std::vector<int>& folders,
               std::vector<std::pair<int, qsizetype>>& files) const;
    // Every file in error, in the order the tree shows them.
    std::vector<QModelIndex> filesInError() const;
    // The rows whose PathRole is one of these, wherever they stand in the tree now.
    QModelIndexList rowsAt(const QSet<QString>& paths) const;

    // The longest totals of the tree, in characters: the delegate gives every row columns as
    // wide, so that totals and bars line up whatever the row's depth (their font is monospaced).
    struct WidestTotals {
        int label = 0;   // a folder's total or a file's duration
        int subtree = 0; // "10h32m in tutto", at the chosen speed
    };
    WidestTotals widestTotals() const { return m_widest; }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    // A file never holds rows: the view keeps no state for it.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The one column's title, which a screen reader may read.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    // What an index stands for: a folder of the tree, or the file shown at a place of one.
    struct Item {
        int node = -1;
        int file = -1; // its place among the folder's files as shown; -1 on a folder
    };
    static quintptr folderId(int node) { return quintptr(node) + 1; }
    static quintptr fileId(int node, int place);
    static Item itemOf(const QModelIndex& index);
    int rowOfNode(int node) const;
    int fileCount(int node) const;
    const FolderRow* folderOf(int node) const;
    // The folder's file shown at a place.
    int fileAt(int node, int place) const;
    QVariant folderData(int node, int role) const;
    QVariant fileData(const Item& item, int role) const;
    QString subtreeLabel(int node) const;
    void measureWidestTotals();
    QString folderPath(int node) const;
    QByteArray nativeFolderPath(int node) const;

    ReportSummary m_summary;
    std::vector<MeasuredFile> m_measured;
    std::vector<QByteArray> m_nativeFolderPaths;
    std::filesystem::path m_reportFolder; // as the rows name it
    std::optional<std::filesystem::path> m_renamedTo;
    std::vector<FolderTreeRow> m_tree;
    std::vector<int> m_tops;
    std::vector<std::vector<int>> m_children;  // each folder's folders, in the order shown
    std::vector<int> m_place;                  // a folder's place among its parent's folders
    std::vector<std::vector<int>> m_fileOrder; // longest first; empty: the report's order
    std::int64_t m_grandTotalSeconds = 0;
    int m_playbackSpeed = 100;
    bool m_exactSeconds = true;
    bool m_shown = true;
    WidestTotals m_widest;
};

} // namespace quillmark
