#include "ui/elided_label.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace quillmark {

ElidedLabel::ElidedLabel(Qt::TextElideMode mode, Qt::Alignment alignment, QWidget* parent)
    : QWidget(parent)
    , m_mode(mode)
    , m_alignment(alignment)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void ElidedLabel::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    setToolTip(text);
    // What a screen reader reads, and hears again when it changes.
    setAccessibleName(text);
    updateGeometry();
    update();
}

void ElidedLabel::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void ElidedLabel::setMaximumLines(int lines)
{
    m_maximumLines = std::max(lines, 1);
    updateGeometry();
    update();
}

QStringList ElidedLabel::linesFor(int width) const
{
    QStringList lines;
    QTextLayout layout(m_text, font());
    QTextOption option;
    // Paths have no spaces to break at.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, 1));
        if (lines.size() == m_maximumLines - 1) {
            lines.append(
                fontMetrics().elidedText(m_text.mid(line.textStart()), m_mode, std::max(width, 0)));
            break;
        }
        lines.append(m_text.mid(line.textStart(), line.textLength()));
    }
    layout.endLayout();
    return lines;
}

QSize ElidedLabel::sizeHint() const
{
    // Rounded up: a width rounded down by a fraction of a pixel would cut off the last characters.
    const int width =
        std::min(int(std::ceil(QFontMetricsF(font()).horizontalAdvance(m_text))), maximumWidth());
    const qsizetype lines = std::max<qsizetype>(linesFor(width).size(), 1);
    return {width, int(lines) * fontMetrics().lineSpacing()};
}

QSize ElidedLabel::minimumSizeHint() const
{
    return {0, fontMetrics().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(m_color.isValid() ? m_color : palette().color(QPalette::WindowText));
    const QStringList lines = shownLines();
    const int lineHeight = fontMetrics().lineSpacing();
    const int textHeight = int(lines.size()) * lineHeight;
    int top = (m_alignment & Qt::AlignVCenter) ? (height() - textHeight) / 2 : 0;
    const int horizontal = int(m_alignment & Qt::AlignHorizontal_Mask);
    for (const QString& line : lines) {
        painter.drawText(QRect(0, top, width(), lineHeight), horizontal | Qt::AlignVCenter,
                         line.trimmed());
        top += lineHeight;
    }
}

} // namespace quillmark
