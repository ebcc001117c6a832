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

} // namespace quillmark
