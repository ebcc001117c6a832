#include "ui/report_row_delegate.h"

#include "ui/report_rows_model.h"
#include "ui/symbols.h"
#include "ui/theme.h"

#include <QPainter>
#include <QPainterPath>

namespace quillmark {

namespace {

constexpr int padding = 8;
constexpr int fileIndent = 34;
constexpr qreal corner = 7;

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
    path.addRoundedRect(rect, corner, corner);
    if (!first)
        path.addRect(rect.adjusted(0, 0, 0, -rect.height() / 2));
    if (!last)
        path.addRect(rect.adjusted(0, rect.height() / 2, 0, 0));
    painter->fillPath(path, theme::primary(0.03));
}

void paintChip(QPainter* painter, const QRect& rect, const QString& text)
{
    painter->setPen(Qt::NoPen);
    painter->setBrush(theme::accent(0.1));
    painter->drawRoundedRect(rect, rect.height() / 2.0, rect.height() / 2.0);
    painter->setPen(theme::accent());
    painter->drawText(rect, Qt::AlignCenter, text);
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
        return QSize(0, fileRowHeight +
                            (index.data(ReportRowsModel::IsLastInGroupRole).toBool() ? 4 : 0));
    return QSize(0, folderRowHeight + (index.row() > 0 ? groupGap : 0));
}

void ReportRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (index.data(ReportRowsModel::IsFolderRole).toBool())
        paintFolder(painter, option.rect.adjusted(0, index.row() > 0 ? groupGap : 0, 0, 0), index);
    else
        paintFile(painter, option.rect, index);
    painter->restore();
}

void ReportRowDelegate::paintFolder(QPainter* painter, const QRect& rect,
                                    const QModelIndex& index) const
{
    const bool expanded = index.data(ReportRowsModel::IsExpandedRole).toBool();
    if (expanded)
        paintGroupBackground(painter, rect, true,
                             index.data(ReportRowsModel::IsLastInGroupRole).toBool());

    const QRect content = rect.adjusted(padding, padding, -padding, -padding);
    const int middle = content.center().y();

    // The chevron turns a quarter to point down when the folder is open.
    const QPixmap chevron = symbolPixmap(QStringLiteral("chevron.right"), 10, theme::secondary());
    painter->save();
    painter->translate(content.left() + 5, middle);
    painter->rotate(expanded ? 90 : 0);
    painter->drawPixmap(-5, -5, chevron);
    painter->restore();

    const int iconLeft = content.left() + 10 + 8;
    painter->drawPixmap(iconLeft, middle - 8,
                        symbolPixmap(QStringLiteral("folder.fill"), 16, m_folderTint));

    const QFont chipFont = theme::font(11, QFont::DemiBold, true);
    const QString total = index.data(ReportRowsModel::LabelRole).toString();
    const int chipWidth = QFontMetrics(chipFont).horizontalAdvance(total) + 18;
    const int chipHeight = QFontMetrics(chipFont).height() + 6;
    painter->setFont(chipFont);
    paintChip(
        painter,
        QRect(content.right() - chipWidth + 1, middle - chipHeight / 2, chipWidth, chipHeight),
        total);

    const QFont nameFont = theme::font(13, QFont::Medium);
    const int nameLeft = iconLeft + 16 + 8;
    const QRect nameRect(nameLeft, content.top(), content.right() - chipWidth - 8 - nameLeft,
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
    const QRect content = rect.adjusted(fileIndent, 4, -8, last ? -8 : -4);
    const int middle = content.center().y();
    const bool failed = index.data(ReportRowsModel::ErrorRole).isValid();

    const QPixmap icon =
        failed ? symbolPixmap(QStringLiteral("exclamationmark.circle.fill"), 12, QColor(Qt::red))
               : symbolPixmap(QStringLiteral("film"), 12, theme::primary(0.55 * 0.7));
    painter->drawPixmap(content.left(), middle - 6, icon);

    const QFont labelFont = theme::font(11, QFont::Normal, true);
    const QString label = index.data(ReportRowsModel::LabelRole).toString();
    const int labelWidth = QFontMetrics(labelFont).horizontalAdvance(label);
    painter->setFont(labelFont);
    painter->setPen(theme::secondary());
    painter->drawText(
        QRect(content.right() - labelWidth + 1, content.top(), labelWidth, content.height()),
        Qt::AlignVCenter | Qt::AlignRight, label);

    const QFont nameFont = theme::font(12, QFont::Normal, true);
    const int nameLeft = content.left() + 12 + 8;
    const QRect nameRect(nameLeft, content.top(), content.right() - labelWidth - 8 - nameLeft,
                         content.height());
    painter->setFont(nameFont);
    painter->setPen(failed ? QColor(Qt::red) : theme::primary());
    painter->drawText(nameRect, Qt::AlignVCenter | Qt::AlignLeft,
                      elided(nameFont, index.data(Qt::DisplayRole).toString(), nameRect.width()));
}

} // namespace quillmark
