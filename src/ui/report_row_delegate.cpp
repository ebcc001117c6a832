#include "ui/report_row_delegate.h"

#include "ui/chip.h"
#include "ui/report_tree_model.h"
#include "ui/symbols.h"
#include "ui/theme.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace quillmark {

namespace {

ChipPadding totalPadding()
{
    return {theme::px(9), theme::px(3)};
}

QFont folderNameFont()
{
    return theme::font(13, QFont::Medium);
}

QFont fileNameFont()
{
    return theme::font(12, QFont::Normal, true);
}

QFont labelFont()
{
    return theme::font(11, QFont::Normal, true);
}

QFont chipFont()
{
    return theme::font(11, QFont::DemiBold, true);
}

// Text that fits on one line, cut at its end.
QString elided(const QFont& font, const QString& text, int width)
{
    return QFontMetrics(font).elidedText(text, Qt::ElideRight, std::max(width, 0));
}

// Every folder row but the very first stands a little apart from the row above it.
bool hasGapAbove(const QModelIndex& index)
{
    return index.row() > 0 || index.parent().isValid();
}

// An open folder and its files share one faint rounded background.
void paintGroupBackground(QPainter* painter, QRect rect, bool first, bool last, qreal corner)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRoundedRect(rect, corner, corner);
    if (!first)
        path.addRect(rect.adjusted(0, 0, 0, -rect.height() / 2));
    if (!last)
        path.addRect(rect.adjusted(0, rect.height() / 2, 0, 0));
    painter->fillPath(path, theme::primary(0.03));
}

// The row's own rectangle, below its gap.
QRect rowRect(const QStyleOptionViewItem& option, const QModelIndex& index, const RowMetrics& m)
{
    const bool folder = index.data(ReportTreeModel::IsFolderRole).toBool();
    return option.rect.adjusted(0, folder && hasGapAbove(index) ? m.groupGap : 0, 0, 0);
}

// The columns at the right edge, as wide as the longest totals of the whole tree.
struct TotalsColumns {
    int label = 0;
    int subtree = 0;
};

TotalsColumns totalsColumns(const QModelIndex& index)
{
    const auto* model = qobject_cast<const ReportTreeModel*>(index.model());
    if (!model)
        return {};
    const ReportTreeModel::WidestTotals widest = model->widestTotals();
    const QString digits(std::max(widest.label, 1), QLatin1Char('0'));
    return {
        chipSize(QFontMetrics(chipFont()), digits, totalPadding()).width(),
        widest.subtree > 0
            ? QFontMetrics(labelFont()).horizontalAdvance(QString(widest.subtree, QLatin1Char('0')))
            : 0};
}

} // namespace

RowMetrics RowMetrics::current()
{
    // Asked for every row laid out: measured once per application font.
    static std::optional<QFont> measuredFor;
    static RowMetrics measured{};
    if (theme::sameApplicationFont(measuredFor))
        return measured;
    using theme::px;
    const int nameHeight = QFontMetrics(folderNameFont()).height();
    const int fileHeight = QFontMetrics(fileNameFont()).height();
    measured = RowMetrics{std::max(px(36), nameHeight + px(16)),
                          std::max(px(24), fileHeight + px(8)),
                          px(2),
                          px(4),
                          px(8),
                          px(34),
                          px(4),
                          px(10),
                          px(16),
                          px(12),
                          px(8),
                          qreal(px(7)),
                          px(16),
                          std::max(2, px(4)),
                          px(140)};
    return measured;
}

ReportRowDelegate::ReportRowDelegate(QColor folderTint, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_folderTint(folderTint)
{
}

QSize ReportRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const RowMetrics m = RowMetrics::current();
    if (!index.data(ReportTreeModel::IsFolderRole).toBool())
        return QSize(0,
                     m.fileRowHeight +
                         (index.data(ReportTreeModel::IsLastFileRole).toBool() ? m.groupEnd : 0));
    return QSize(0, m.folderRowHeight + (hasGapAbove(index) ? m.groupGap : 0));
}

RowLayout ReportRowDelegate::layout(const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const RowMetrics m = RowMetrics::current();
    const QRect rect = rowRect(option, index, m);
    const int depth = index.data(ReportTreeModel::DepthRole).toInt();
    const QString label = index.data(ReportTreeModel::LabelRole).toString();
    const TotalsColumns columns = totalsColumns(index);
    RowLayout parts;
    if (!index.data(ReportTreeModel::IsFolderRole).toBool()) {
        const bool last = index.data(ReportTreeModel::IsLastFileRole).toBool();
        const QRect content = rect.adjusted(m.fileIndent + depth * m.indentPerLevel, m.filePadding,
                                            -m.padding, -m.filePadding - (last ? m.groupEnd : 0));
        const int middle = content.center().y();
        parts.icon =
            QRect(content.left(), middle - m.fileIconSize / 2, m.fileIconSize, m.fileIconSize);
        // Under the folders' totals, ending where the text of their chips ends.
        const int labelWidth = QFontMetrics(labelFont()).horizontalAdvance(label);
        const int labelRight = content.right() - totalPadding().horizontal;
        parts.label =
            QRect(labelRight - labelWidth + 1, content.top(), labelWidth, content.height());
        const int nameLeft = parts.icon.right() + 1 + m.gap;
        const int nameRight = content.right() - std::max(columns.label, labelWidth) - m.gap;
        parts.name = QRect(nameLeft, content.top(), nameRight - nameLeft + 1, content.height());
        return parts;
    }
    const QRect content =
        rect.adjusted(m.padding + depth * m.indentPerLevel, m.padding, -m.padding, -m.padding);
    const int middle = content.center().y();
    parts.chevron = QRect(content.left(), middle - m.chevronSize / 2, m.chevronSize, m.chevronSize);
    parts.icon = QRect(content.left() + m.chevronSize + m.gap, middle - m.folderIconSize / 2,
                       m.folderIconSize, m.folderIconSize);
    const int nameLeft = parts.icon.right() + 1 + m.gap;
    int right = content.right();
    // A group has no total of its own: only its subtree's. Its column stays, so that the
    // subtree totals line up.
    if (!label.isEmpty()) {
        const QSize chip = chipSize(QFontMetrics(chipFont()), label, totalPadding());
        parts.label = QRect(QPoint(right - chip.width() + 1, middle - chip.height() / 2), chip);
    }
    right -= std::max(columns.label, parts.label.width()) + m.gap;
    const QString subtree = index.data(ReportTreeModel::SubtreeLabelRole).toString();
    const int subtreeWidth =
        std::max(columns.subtree, QFontMetrics(labelFont()).horizontalAdvance(subtree));
    if (!subtree.isEmpty())
        parts.subtree =
            QRect(right - subtreeWidth + 1, content.top(), subtreeWidth, content.height());
    if (subtreeWidth > 0)
        right -= subtreeWidth + m.gap;
    // The bars of every folder in one column before the totals; on a narrow row they give way
    // to the name.
    const double share = std::clamp(index.data(ReportTreeModel::ShareRole).toDouble(), 0.0, 1.0);
    const int barWidth = std::min(m.shareColumn, (right - nameLeft) / 3);
    if (share > 0 && barWidth >= m.shareColumn / 3) {
        parts.shareTrack = QRectF(right - barWidth + 1, middle - m.shareBarHeight / 2.0, barWidth,
                                  m.shareBarHeight);
        parts.shareBar = QRectF(parts.shareTrack.topLeft(),
                                QSizeF(std::max(barWidth * share, 1.0), m.shareBarHeight));
        right -= barWidth + m.gap;
    }
    parts.name = QRect(nameLeft, content.top(), right - nameLeft + 1, content.height());
    return parts;
}

void ReportRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    const RowMetrics m = RowMetrics::current();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect rect = rowRect(option, index, m);
    // A selected row is tinted under its content, over its own background.
    const bool folder = index.data(ReportTreeModel::IsFolderRole).toBool();
    if (option.features & QStyleOptionViewItem::Alternate)
        painter->fillRect(option.rect, theme::primary(0.025));
    if (option.state & QStyle::State_MouseOver)
        painter->fillRect(option.rect, theme::primary(0.05));
    const bool open = option.state & QStyle::State_Open;
    if (folder && open && index.data(ReportTreeModel::HasFilesRole).toBool())
        paintGroupBackground(painter, rect, true, false, m.corner);
    if (!folder)
        paintGroupBackground(painter, rect, false,
                             index.data(ReportTreeModel::IsLastFileRole).toBool(), m.corner);
    if (option.state & QStyle::State_Selected) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(theme::accent(0.16));
        painter->drawRoundedRect(QRectF(rect).adjusted(1, 1, -1, -1), m.corner, m.corner);
    }
    if (folder)
        paintFolder(painter, option, index, open);
    else
        paintFile(painter, option, index);
    // The row the keyboard is on, while the tree has the focus.
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(theme::focusRing(), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(QRectF(rect).adjusted(1, 1, -1, -1), m.corner, m.corner);
    }
    painter->restore();
}

void ReportRowDelegate::paintFolder(QPainter* painter, const QStyleOptionViewItem& option,
                                    const QModelIndex& index, bool expanded) const
{
    const RowLayout parts = layout(option, index);
    // The chevron turns a quarter to point down when the folder is open.
    if (index.model()->hasChildren(index)) {
        const int size = parts.chevron.width();
        painter->save();
        painter->translate(parts.chevron.center());
        painter->rotate(expanded ? 90 : 0);
        painter->drawPixmap(-size / 2, -size / 2,
                            symbolPixmap(QStringLiteral("go-next"), size, theme::secondary()));
        painter->restore();
    }
    painter->drawPixmap(parts.icon.topLeft(), symbolPixmap(QStringLiteral("inode-directory"),
                                                           parts.icon.width(), m_folderTint));
    if (!parts.label.isEmpty()) {
        painter->setFont(chipFont());
        paintChip(*painter, parts.label, index.data(ReportTreeModel::LabelRole).toString(), 0.1);
    }
    if (!parts.subtree.isEmpty()) {
        painter->setFont(labelFont());
        painter->setPen(theme::secondary());
        painter->drawText(parts.subtree, Qt::AlignVCenter | Qt::AlignRight,
                          index.data(ReportTreeModel::SubtreeLabelRole).toString());
    }
    if (!parts.shareBar.isEmpty()) {
        painter->setPen(Qt::NoPen);
        const qreal radius = parts.shareBar.height() / 2;
        painter->setBrush(theme::primary(0.08));
        painter->drawRoundedRect(parts.shareTrack, radius, radius);
        painter->setBrush(theme::shareBar());
        painter->drawRoundedRect(parts.shareBar, radius, radius);
    }
    painter->setFont(folderNameFont());
    painter->setPen(theme::primary());
    painter->drawText(
        parts.name, Qt::AlignVCenter | Qt::AlignLeft,
        elided(folderNameFont(), index.data(Qt::DisplayRole).toString(), parts.name.width()));
}

void ReportRowDelegate::paintFile(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    const RowLayout parts = layout(option, index);
    const bool failed = index.data(ReportTreeModel::ErrorRole).isValid();
    painter->drawPixmap(
        parts.icon.topLeft(),
        failed ? symbolPixmap(QStringLiteral("dialog-error"), parts.icon.width(), theme::error())
               : symbolPixmap(QStringLiteral("video-x-generic"), parts.icon.width(),
                              theme::secondary()));
    painter->setFont(labelFont());
    painter->setPen(theme::secondary());
    painter->drawText(parts.label, Qt::AlignVCenter | Qt::AlignRight,
                      index.data(ReportTreeModel::LabelRole).toString());
    painter->setFont(fileNameFont());
    painter->setPen(failed ? theme::error() : theme::primary());
    painter->drawText(
        parts.name, Qt::AlignVCenter | Qt::AlignLeft,
        elided(fileNameFont(), index.data(Qt::DisplayRole).toString(), parts.name.width()));
}

} // namespace quillmark
