#pragma once

#include <QStyledItemDelegate>

namespace quillmark {

// The geometry of the rows, shared by their size and their painting.
struct RowMetrics {
    static constexpr int folderRowHeight = 36;
    static constexpr int fileRowHeight = 24;
    // Between a folder row and the group above it.
    static constexpr int groupGap = 2;
    // Below the last file of an open folder, where its group's background ends.
    static constexpr int groupEnd = 4;
    static constexpr int padding = 8;
    static constexpr int fileIndent = 34;
    static constexpr int filePadding = 4;
    static constexpr int chevronSize = 10;
    static constexpr int folderIconSize = 16;
    static constexpr int fileIconSize = 12;
    static constexpr int gap = 8;
    static constexpr qreal corner = 7;
    // How far a folder row moves in for each folder row above it.
    static constexpr int indentPerLevel = 16;
    static constexpr int shareBarHeight = 2;
    static constexpr int widestRow = 960;
};

// Paints the folder rows (chevron, tinted folder, name, total chip; a group only its subtree's
// total) and the file rows (film or error icon, monospaced name, duration label) of the
// per-folder report. Rows are painted, never
// made of widgets, so a hundred thousand of them stay smooth.
class ReportRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit ReportRowDelegate(QColor folderTint, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintFolder(QPainter* painter, const QRect& rect, const QModelIndex& index) const;
    void paintFile(QPainter* painter, const QRect& rect, const QModelIndex& index) const;

    QColor m_folderTint;
};

} // namespace quillmark
