#include "ui/switch_toggle.h"

#include "ui/theme.h"

#include <QPainter>

namespace quillmark {

namespace {

// The small control size.
constexpr int trackWidth = 26;
constexpr int trackHeight = 15;
constexpr int thumbInset = 2;
constexpr int captionGap = 8;
constexpr int focusRing = 3;

} // namespace

SwitchToggle::SwitchToggle(const QString& caption, QWidget* parent)
    : QAbstractButton(parent)
{
    setText(caption);
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SwitchToggle::sizeHint() const
{
    const int textWidth = fontMetrics().horizontalAdvance(text());
    return {textWidth + captionGap + trackWidth + 2 * focusRing,
            std::max(fontMetrics().height(), trackHeight + 2 * focusRing)};
}

QRect SwitchToggle::trackRect() const
{
    return QRect(width() - focusRing - trackWidth, (height() - trackHeight) / 2, trackWidth,
                 trackHeight);
}

bool SwitchToggle::hitButton(const QPoint& position) const
{
    return rect().contains(position); // the caption toggles too
}

void SwitchToggle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool enabled = isEnabled();
    painter.setOpacity(enabled ? 1.0 : 0.45);

    const QRect track = trackRect();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(0, 0, track.left() - captionGap, height()),
                     Qt::AlignVCenter | Qt::AlignLeft, text());

    if (hasFocus()) {
        painter.setPen(QPen(theme::accent(0.5), focusRing - 1));
        painter.setBrush(Qt::NoBrush);
        const QRectF ring = QRectF(track).adjusted(-1.5, -1.5, 1.5, 1.5);
        painter.drawRoundedRect(ring, ring.height() / 2, ring.height() / 2);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(isChecked() ? theme::accent() : theme::primary(0.2));
    painter.drawRoundedRect(track, track.height() / 2.0, track.height() / 2.0);

    const int thumb = trackHeight - 2 * thumbInset;
    const int thumbLeft =
        isChecked() ? track.right() + 1 - thumbInset - thumb : track.left() + thumbInset;
    painter.setBrush(theme::shadow());
    painter.drawEllipse(QRectF(thumbLeft, track.top() + thumbInset + 0.5, thumb, thumb));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRect(thumbLeft, track.top() + thumbInset, thumb, thumb));
}

} // namespace quillmark
