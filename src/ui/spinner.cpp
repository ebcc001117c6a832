#include "ui/spinner.h"

#include "ui/theme.h"

#include <QPainter>

namespace quillmark {

Spinner::Spinner(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(sizeHint());
    m_timer.setInterval(16);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 6) % 360;
        update();
    });
}

QSize Spinner::sizeHint() const
{
    return {theme::px(40), theme::px(40)};
}

void Spinner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal stroke = theme::px(4);
    const QRectF circle = QRectF(rect()).adjusted(stroke, stroke, -stroke, -stroke);
    painter.setPen(QPen(theme::primary(0.1), stroke));
    painter.drawEllipse(circle);
    painter.setPen(QPen(theme::secondary(), stroke, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(circle, -m_angle * 16, 100 * 16);
}

void Spinner::showEvent(QShowEvent*)
{
    m_timer.start();
}

void Spinner::hideEvent(QHideEvent*)
{
    m_timer.stop();
}

} // namespace quillmark
