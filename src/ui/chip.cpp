#include "ui/chip.h"

#include "ui/theme.h"

#include <QPainter>

namespace quillmark {

QSize chipSize(const QFontMetrics& metrics, const QString& text, ChipPadding padding)
{
    return {metrics.horizontalAdvance(text) + 2 * padding.horizontal,
            metrics.height() + 2 * padding.vertical};
}

void paintChip(QPainter& painter, const QRect& rect, const QString& text, qreal fillOpacity)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(theme::accent(fillOpacity));
    painter.drawRoundedRect(rect, rect.height() / 2.0, rect.height() / 2.0);
    painter.setPen(theme::accentText());
    painter.drawText(rect, Qt::AlignCenter, text);
}

Chip::Chip(const QString& text, ChipPadding padding, QWidget* parent)
    : QWidget(parent)
    , m_text(text)
    , m_padding(padding)
{
    setAccessibleName(text);
}

QSize Chip::sizeHint() const
{
    return chipSize(QFontMetrics(font()), text(), m_padding);
}

void Chip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font());
    // Dimmed with the field it shows.
    if (!isEnabled())
        painter.setOpacity(0.4);
    paintChip(painter, rect(), text(), 0.12);
}

} // namespace quillmark
