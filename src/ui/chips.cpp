#include "ui/chips.h"

#include "ui/chip.h"
#include "ui/theme.h"

#include <QPainter>

namespace quillmark {

namespace {

constexpr int spacing = 5;
constexpr ChipPadding padding{8, 3};

QFont chipFont()
{
    return theme::font(11, QFont::Normal, true);
}

QSize chipSizeFor(const QString& text)
{
    return chipSize(QFontMetrics(chipFont()), text, padding);
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
        width += chipSizeFor(text).width() + spacing;
    return {std::max(width - spacing, 0), chipSizeFor(QString()).height()};
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
        const QRect chip(QPoint(left, top), chipSizeFor(text));
        if (chip.right() > width())
            break; // chips that do not fit are left out rather than cut
        paintChip(painter, chip, text, 0.12);
        left = chip.right() + 1 + spacing;
    }
}

} // namespace quillmark
