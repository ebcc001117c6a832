#include "ui/chips.h"

#include "ui/chip.h"
#include "ui/theme.h"

#include <QEvent>

namespace quillmark {

namespace {

ChipPadding padding()
{
    return {theme::px(8), theme::px(3)};
}

QFont chipFont()
{
    return theme::font(11, QFont::Normal, true);
}

QSize chipSizeFor(const QString& text)
{
    return chipSize(QFontMetrics(chipFont()), text, padding());
}

int spacing()
{
    return theme::px(5);
}

QString moreChip(qsizetype hidden)
{
    return QStringLiteral("+%1").arg(hidden);
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

void Chips::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        for (Chip* chip : m_chips)
            chip->update();
    QWidget::changeEvent(event);
}

// As many chips as fit, and when some do not, a last chip that counts them; its tooltip names
// them.
void Chips::layOut()
{
    const int available = width();
    int used = 0;
    qsizetype shown = 0;
    for (const QString& text : m_texts) {
        const int chip = chipSizeFor(text).width();
        const qsizetype rest = m_texts.size() - shown - 1;
        const int reserve = rest > 0 ? spacing() + chipSizeFor(moreChip(rest)).width() : 0;
        if (used + chip + reserve > available)
            break;
        used += chip + spacing();
        ++shown;
    }
    QStringList texts = m_texts.first(shown);
    const QStringList hidden = m_texts.mid(shown);
    if (!hidden.isEmpty())
        texts.append(moreChip(hidden.size()));
    for (Chip* chip : m_chips)
        delete chip;
    m_chips.clear();
    int left = 0;
    for (const QString& text : texts) {
        auto* chip = new Chip(text, padding(), this);
        chip->setFont(chipFont());
        const QSize size = chipSizeFor(text);
        chip->setGeometry(QRect(QPoint(left, (height() - size.height()) / 2), size));
        if (text == texts.last() && !hidden.isEmpty()) {
            chip->setToolTip(hidden.join(QStringLiteral(", ")));
            chip->setAccessibleName(tr("e altre %Ln: %1", nullptr, int(hidden.size()))
                                        .arg(hidden.join(QStringLiteral(", "))));
        }
        chip->show();
        m_chips.push_back(chip);
        left += size.width() + spacing();
    }
    setToolTip(hidden.isEmpty() ? QString() : hidden.join(QStringLiteral(", ")));
}

QSize Chips::sizeHint() const
{
    int width = 0;
    for (const QString& text : m_texts)
        width += chipSizeFor(text).width() + spacing();
    return {std::max(width - spacing(), 0), chipSizeFor(QString()).height()};
}

} // namespace quillmark
