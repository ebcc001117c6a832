#include "ui/report_row_delegate.h"

#include "ui/chip.h"
#include "ui/report_rows_model.h"
#include "ui/symbols.h"
#include "ui/theme.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace quillmark {

namespace {

using M = RowMetrics;
constexpr ChipPadding totalPadding{9, 3};

// Text that fits on one line, cut at its end.
QString elided(const QFont& font, const QString& text, int width)
{
    return QFontMetrics(font).elidedText(text, Qt::ElideRight, std::max(width, 0));
}

// An open folder and its files share one faint rounded background.
void paintGroupBackground(QPainter* painter, QRect rect, bool first, bool last)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRoundedRect(rect, M::corner, M::corner);
    if (!first)
        path.addRect(rect.adjusted(0, 0, 0, -rect.height() / 2));
    if (!last)
        path.addRect(rect.adjusted(0, rect.height() / 2, 0, 0));
    painter->fillPath(path, theme::primary(0.03));
}

} // namespace

ReportRowDelegate::ReportRowDelegate(QColor folderTint, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_folderTint(folderTint)
{
}

QSize ReportRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    if (!index.data(ReportRowsModel::IsFolderRole).toBool())
        return QSize(0, M::fileRowHeight + (index.data(ReportRowsModel::IsLastInGroupRole).toBool()
                                                ? M::groupEnd
                                                : 0));
    return QSize(0, M::folderRowHeight + (index.row() > 0 ? M::groupGap : 0));
}

void ReportRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const bool folder = index.data(ReportRowsModel::IsFolderRole).toBool();
    QRect rect = option.rect.adjusted(0, folder && index.row() > 0 ? M::groupGap : 0, 0, 0);
    // On a wide window the totals stay near the names.
    rect.setWidth(std::min(rect.width(), M::widestRow));
    if (folder)
        paintFolder(painter, rect, index);
    else
        paintFile(painter, rect, index);
    // A selected row is tinted over its own background, so an open folder's stays visible.
    if (option.state & QStyle::State_Selected) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(theme::accent(0.16));
        painter->drawRoundedRect(QRectF(rect).adjusted(1, 1, -1, -1), M::corner, M::corner);
    }
    // The row the keyboard is on, while the list has the focus.
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(theme::accent(0.7), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(QRectF(rect).adjusted(1, 1, -1, -1), M::corner, M::corner);
    }
    painter->restore();
}

void ReportRowDelegate::paintFolder(QPainter* painter, const QRect& rect,
                                    const QModelIndex& index) const
{
    const bool expanded = index.data(ReportRowsModel::IsExpandedRole).toBool();
    if (expanded)
        paintGroupBackground(painter, rect, true,
                             index.data(ReportRowsModel::IsLastInGroupRole).toBool());

    const int indent = index.data(ReportRowsModel::DepthRole).toInt() * M::indentPerLevel;
    const QRect content = rect.adjusted(M::padding + indent, M::padding, -M::padding, -M::padding);
    const int middle = content.center().y();

    // The chevron turns a quarter to point down when the folder is open; a group has none, as
    // it has no files to show.
    const int half = M::chevronSize / 2;
    if (!index.data(ReportRowsModel::IsGroupRole).toBool()) {
        const QPixmap chevron =
            symbolPixmap(QStringLiteral("go-next"), M::chevronSize, theme::secondary());
        painter->save();
        painter->translate(content.left() + half, middle);
        painter->rotate(expanded ? 90 : 0);
        painter->drawPixmap(-half, -half, chevron);
        painter->restore();
    }

    const int iconLeft = content.left() + M::chevronSize + M::gap;
    painter->drawPixmap(
        iconLeft, middle - M::folderIconSize / 2,
        symbolPixmap(QStringLiteral("inode-directory"), M::folderIconSize, m_folderTint));

    // A group has no total of its own: only its subtree's.
    int labelsWidth = 0;
    const QString total = index.data(ReportRowsModel::LabelRole).toString();
    if (!total.isEmpty()) {
        const QFont chipFont = theme::font(11, QFont::DemiBold, true);
        const QSize chip = chipSize(QFontMetrics(chipFont), total, totalPadding);
        painter->setFont(chipFont);
        paintChip(
            *painter,
            QRect(QPoint(content.right() - chip.width() + 1, middle - chip.height() / 2), chip),
            total, 0.1);
        labelsWidth = chip.width() + M::gap;
    }

    // The whole subtree's total, quieter, beside the folder's own.
    const QString subtree = index.data(ReportRowsModel::SubtreeLabelRole).toString();
    if (!subtree.isEmpty()) {
        const QFont subtreeFont = theme::font(11, QFont::Normal, true);
        const int width = QFontMetrics(subtreeFont).horizontalAdvance(subtree);
        painter->setFont(subtreeFont);
        painter->setPen(theme::secondary());
        painter->drawText(QRect(content.right() - labelsWidth - width + 1, content.top(), width,
                                content.height()),
                          Qt::AlignVCenter | Qt::AlignRight, subtree);
        labelsWidth += width + M::gap;
    }

    const int nameLeft = iconLeft + M::folderIconSize + M::gap;
    // A thin bar under the row: the subtree's share of the grand total.
    const double share = std::clamp(index.data(ReportRowsModel::ShareRole).toDouble(), 0.0, 1.0);
    const int barWidth = content.right() - nameLeft;
    if (share > 0 && barWidth > 0) {
        const QRectF bar(nameLeft, rect.bottom() - M::shareBarHeight - 1,
                         std::max(barWidth * share, 1.0), M::shareBarHeight);
        painter->setPen(Qt::NoPen);
        painter->setBrush(theme::accent(0.45));
        painter->drawRoundedRect(bar, M::shareBarHeight / 2.0, M::shareBarHeight / 2.0);
    }

    const QFont nameFont = theme::font(13, QFont::Medium);
    const QRect nameRect(nameLeft, content.top(), content.right() - labelsWidth - nameLeft,
                         content.height());
    painter->setFont(nameFont);
    painter->setPen(theme::primary());
    painter->drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft,
                      elided(nameFont, index.data(Qt::DisplayRole).toString(), nameRect.width()));
}

void ReportRowDelegate::paintFile(QPainter* painter, const QRect& rect,
                                  const QModelIndex& index) const
{
    const bool last = index.data(ReportRowsModel::IsLastInGroupRole).toBool();
    paintGroupBackground(painter, rect, false, last);
    // Under the name of its folder, at any depth.
    const int indent =
        M::fileIndent + index.data(ReportRowsModel::DepthRole).toInt() * M::indentPerLevel;
    const QRect content = rect.adjusted(indent, M::filePadding, -M::padding,
                                        -M::filePadding - (last ? M::groupEnd : 0));
    const int middle = content.center().y();
    const bool failed = index.data(ReportRowsModel::ErrorRole).isValid();

    const QPixmap icon =
        failed ? symbolPixmap(QStringLiteral("dialog-error"), M::fileIconSize, theme::error())
               : symbolPixmap(QStringLiteral("video-x-generic"), M::fileIconSize,
                              theme::primary(0.55 * 0.7));
    painter->drawPixmap(content.left(), middle - M::fileIconSize / 2, icon);

    const QFont labelFont = theme::font(11, QFont::Normal, true);
    const QString label = index.data(ReportRowsModel::LabelRole).toString();
    const int labelWidth = QFontMetrics(labelFont).horizontalAdvance(label);
    painter->setFont(labelFont);
    painter->setPen(theme::secondary());
    painter->drawText(
        QRect(content.right() - labelWidth + 1, content.top(), labelWidth, content.height()),
        Qt::AlignVCenter | Qt::AlignRight, label);

    const QFont nameFont = theme::font(12, QFont::Normal, true);
    const int nameLeft = content.left() + M::fileIconSize + M::gap;
    const QRect nameRect(nameLeft, content.top(), content.right() - labelWidth - M::gap - nameLeft,
                         content.height());
    painter->setFont(nameFont);
    painter->setPen(failed ? theme::error() : theme::primary());
    painter->drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft,
                      elided(nameFont, index.data(Qt::DisplayRole).toString(), nameRect.width()));
}

} // namespace quillmark
