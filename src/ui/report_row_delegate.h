#pragma once

#include <QStyledItemDelegate>

namespace quillmark {

// Paints the folder rows (chevron, tinted folder, name, total chip) and the file rows (film or
// error icon, monospaced name, duration label) of the per-folder report. Rows are painted, never
// made of widgets, so a hundred thousand of them stay smooth.
class ReportRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit ReportRowDelegate(QColor folderTint, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    static constexpr int folderRowHeight = 36;
    static constexpr int fileRowHeight = 24;
    static constexpr int groupGap = 2;

private:
    void paintFolder(QPainter* painter, const QRect& rect, const QModelIndex& index) const;
    void paintFile(QPainter* painter, const QRect& rect, const QModelIndex& index) const;

    QColor m_folderTint;
};

} // namespace quillmark
