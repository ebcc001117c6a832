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
    layOut();
}

void Chips::resizeEvent(QResizeEvent*)
{
    layOut();
}

QString Chips::moreChip(qsizetype hidden)
{
    return QStringLiteral("+%1").arg(hidden);
}

// As many chips as fit, and when some do not, a last chip that counts them; its tooltip names
// them.
void Chips::layOut()
{
    const int available = width();
    int used = 0;
    m_shown = 0;
    for (const QString& text : m_texts) {
        const int chip = chipSizeFor(text).width();
        const qsizetype rest = m_texts.size() - m_shown - 1;
        const int reserve = rest > 0 ? spacing + chipSizeFor(moreChip(rest)).width() : 0;
        if (used + chip + reserve > available)
            break;
        used += chip + spacing;
        ++m_shown;
    }
    const QStringList hidden = m_texts.mid(m_shown);
    setToolTip(hidden.isEmpty() ? QString() : hidden.join(QStringLiteral(", ")));
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
    // Dimmed with the field they show.
    if (!isEnabled())
        painter.setOpacity(0.4);
    const int height = sizeHint().height();
    const int top = (this->height() - height) / 2;
    int left = 0;
    QStringList shown = m_texts.first(m_shown);
    if (m_shown < m_texts.size())
        shown.append(moreChip(m_texts.size() - m_shown));
    for (const QString& text : shown) {
        const QRect chip(QPoint(left, top), chipSizeFor(text));
        paintChip(painter, chip, text, 0.12);
        left = chip.right() + 1 + spacing;
    }
}

} // namespace quillmark
