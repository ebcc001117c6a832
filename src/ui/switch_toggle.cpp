#include "ui/switch_toggle.h"

#include "ui/theme.h"

#include <QPainter>

namespace quillmark {

namespace {

// The small control size, at the design's font.
int trackWidth()
{
    return theme::px(26);
}
int trackHeight()
{
    return theme::px(15);
}
int thumbInset()
{
    return theme::px(2);
}
int captionGap()
{
    return theme::px(8);
}
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
    return {textWidth + captionGap() + trackWidth() + 2 * focusRing,
            std::max(fontMetrics().height(), trackHeight() + 2 * focusRing)};
}

QRect SwitchToggle::trackRect() const
{
    return QRect(width() - focusRing - trackWidth(), (height() - trackHeight()) / 2, trackWidth(),
                 trackHeight());
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
    painter.drawText(QRect(0, 0, track.left() - captionGap(), height()),
                     Qt::AlignVCenter | Qt::AlignLeft, text());

    if (hasFocus()) {
        painter.setPen(QPen(theme::focusRing(), focusRing - 1));
        painter.setBrush(Qt::NoBrush);
        const QRectF ring = QRectF(track).adjusted(-1.5, -1.5, 1.5, 1.5);
        painter.drawRoundedRect(ring, ring.height() / 2, ring.height() / 2);
    }
    painter.setPen(Qt::NoPen);
    // Either way the track stands out from the window at 3:1.
    painter.setBrush(isChecked() ? theme::shareBar() : theme::mark(theme::primary(0.2)));
    painter.drawRoundedRect(track, track.height() / 2.0, track.height() / 2.0);

    const int inset = thumbInset();
    const int thumb = track.height() - 2 * inset;
    const int thumbLeft = isChecked() ? track.right() + 1 - inset - thumb : track.left() + inset;
    painter.setBrush(theme::shadow());
    painter.drawEllipse(QRectF(thumbLeft, track.top() + inset + 0.5, thumb, thumb));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRect(thumbLeft, track.top() + inset, thumb, thumb));
}

} // namespace quillmark
