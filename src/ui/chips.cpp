#include "ui/chips.h"

#include "ui/theme.h"

#include <QPainter>

namespace quillmark {

namespace {

constexpr int spacing = 5;
constexpr int horizontalPadding = 8;
constexpr int verticalPadding = 3;

QFont chipFont()
{
    return theme::font(11, QFont::Normal, true);
}

int chipWidth(const QString& text)
{
    return QFontMetrics(chipFont()).horizontalAdvance(text) + 2 * horizontalPadding;
}

} // namespace

Chips::Chips(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void Chips::setTexts(const QStringList& texts)
{
    if (texts == m_texts)
        return;
    m_texts = texts;
    updateGeometry();
    update();
}

QSize Chips::sizeHint() const
{
    int width = 0;
    for (const QString& text : m_texts)
        width += chipWidth(text) + spacing;
    return {std::max(width - spacing, 0), QFontMetrics(chipFont()).height() + 2 * verticalPadding};
}

void Chips::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(chipFont());
    const int height = sizeHint().height();
    const int top = (this->height() - height) / 2;
    int left = 0;
    for (const QString& text : m_texts) {
        const QRect chip(left, top, chipWidth(text), height);
        if (chip.right() > width())
            break; // chips that do not fit are left out rather than cut
        painter.setPen(Qt::NoPen);
        painter.setBrush(theme::accent(0.12));
        painter.drawRoundedRect(chip, height / 2.0, height / 2.0);
        painter.setPen(theme::accent());
        painter.drawText(chip, Qt::AlignCenter, text);
        left = chip.right() + 1 + spacing;
    }
}

} // namespace quillmark
