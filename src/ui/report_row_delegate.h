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
    int shareColumn; // the widest the share bars' column gets

    static RowMetrics current();
};

// Where the parts of a row are drawn: the delegate paints them there, and a test measures the
// contrast of what was drawn there. Rows span the panel as a tree with columns does: the name
// takes the room, the totals stand in columns at the right edge, the share bar just before them.
struct RowLayout {
    QRect chevron;
    QRect icon;
    QRect name;
    QRect label;       // the folder total's chip, or the file's duration
    QRect subtree;     // "10h32m in tutto"
    QRectF shareBar;   // the subtree's share of the grand total
    QRectF shareTrack; // the whole of the grand total, behind the bar
};

// Paints the folder rows (chevron, tinted folder, name, its subtree's share of the grand total as
// a bar, its subtree's total and its total's chip; a group has no chip) and the file rows (film
// or error icon, monospaced name, duration label) of the per-folder report, every other row
// faintly tinted and the row under the mouse more, to lead the eye from a name to its totals.
// Rows are painted, never made of widgets, so a hundred thousand of them stay smooth.
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
