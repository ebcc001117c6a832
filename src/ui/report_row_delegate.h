#pragma once

#include <QStyledItemDelegate>

namespace quillmark {

// The geometry of the rows at the user's font, shared by their size and their painting.
struct RowMetrics {
    int folderRowHeight;
    int fileRowHeight;
    int groupGap; // between a folder row and the group above it
    int groupEnd; // below the last file of an open folder, where its group's background ends
    int padding;
    int fileIndent;
    int filePadding;
    int chevronSize;
    int folderIconSize;
    int fileIconSize;
    int gap;
    qreal corner;
    int indentPerLevel; // how far a row moves in for each folder above it
    int shareBarHeight;
    int widestRow;

    static RowMetrics current();
};

// Where the parts of a row are drawn: the delegate paints them there, and a test measures the
// contrast of what was drawn there.
struct RowLayout {
    QRect chevron;
    QRect icon;
    QRect name;
    QRect label;   // the folder total's chip, or the file's duration
    QRect subtree; // "10h32m in tutto"
    QRectF shareBar;
};

// Paints the folder rows (chevron, tinted folder, name, total chip, its subtree's total and its
// share of the grand total as a bar; a group only its subtree's) and the file rows (film or
// error icon, monospaced name, duration label) of the per-folder report. Rows are painted, never
// made of widgets, so a hundred thousand of them stay smooth.
class ReportRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit ReportRowDelegate(QColor folderTint, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where the parts of the row at `index` stand in `option.rect`.
    static RowLayout layout(const QStyleOptionViewItem& option, const QModelIndex& index);

private:
    void paintFolder(QPainter* painter, const QStyleOptionViewItem& option,
                     const QModelIndex& index, bool expanded) const;
    void paintFile(QPainter* painter, const QStyleOptionViewItem& option,
                   const QModelIndex& index) const;

    QColor m_folderTint;
};

} // namespace quillmark
