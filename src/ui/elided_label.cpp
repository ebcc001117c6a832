#include "ui/elided_label.h"

#include <QPainter>

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
    updateGeometry();
    update();
}

void ElidedLabel::setColor(const QColor& color)
{
    m_color = color;
    update();
}

QSize ElidedLabel::sizeHint() const
{
    return {fontMetrics().horizontalAdvance(m_text), fontMetrics().height()};
}

QSize ElidedLabel::minimumSizeHint() const
{
    return {0, fontMetrics().height()};
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(m_color.isValid() ? m_color : palette().color(QPalette::WindowText));
    painter.drawText(rect(), int(m_alignment), fontMetrics().elidedText(m_text, m_mode, width()));
}

} // namespace quillmark
