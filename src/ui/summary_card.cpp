#include "ui/summary_card.h"

#include "ui/link_button.h"
#include "ui/symbols.h"
#include "ui/theme.h"

#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace quillmark {

namespace {

// The rounded square behind the card's symbol.
class IconTile : public QWidget {
public:
    IconTile(const QPixmap& symbol, QColor fill, QWidget* parent)
        : QWidget(parent)
        , m_symbol(symbol)
        , m_fill(fill)
    {
        setFixedSize(theme::px(38), theme::px(38));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_fill);
        painter.drawRoundedRect(rect(), theme::px(9), theme::px(9));
        const QSize symbol = m_symbol.deviceIndependentSize().toSize();
        painter.drawPixmap((width() - symbol.width()) / 2, (height() - symbol.height()) / 2,
                           m_symbol);
    }

private:
    QPixmap m_symbol;
    QColor m_fill;
};

QColor withOpacity(QColor color, qreal opacity)
{
    color.setAlphaF(opacity);
    return color;
}

// "GRAN TOTALE" as a name is read: "Gran totale".
QString spokenTitle(const QString& title)
{
    const QString lower = title.toLower();
    return lower.left(1).toUpper() + lower.mid(1);
}

} // namespace

SummaryCard::SummaryCard(Style style, const QString& symbol, const QString& title, QWidget* parent)
    : Section(parent)
    , m_style(style)
    , m_title(spokenTitle(title))
    , m_value(new QLabel(this))
    , m_separator(new QLabel(QStringLiteral("·"), this))
    , m_link(new LinkButton(this))
{
    const bool prominent = style == Style::prominent;
    const QColor ink = prominent ? QColor(Qt::white) : theme::accentText();
    auto* tile = new IconTile(symbolPixmap(symbol, theme::px(20), ink),
                              prominent ? withOpacity(Qt::white, 0.16) : theme::accent(0.1), this);

    auto* titleLabel = new QLabel(title, this);
    titleLabel->setFont(theme::font(10, QFont::Bold));
    const QFont valueFont = theme::font(prominent ? 20 : 15, QFont::Bold);
    // On the accent fill the title is as white as the value: anything quieter would not read.
    QPalette titlePalette = titleLabel->palette();
    titlePalette.setColor(QPalette::WindowText, prominent ? QColor(Qt::white) : theme::secondary());
    titleLabel->setPalette(titlePalette);
    for (QWidget* part : std::initializer_list<QWidget*>{m_value, m_separator, m_link}) {
        part->setFont(valueFont);
        if (prominent) {
            QPalette palette = part->palette();
            palette.setColor(QPalette::WindowText, Qt::white);
            part->setPalette(palette);
        }
    }
    m_value->setObjectName(QStringLiteral("summaryValue"));
    m_link->setObjectName(QStringLiteral("summaryLink"));
    connect(m_link, &LinkButton::clicked, this, &SummaryCard::linkActivated);

    auto* valueLine = new QHBoxLayout;
    valueLine->setSpacing(theme::px(4));
    valueLine->addWidget(m_value);
    valueLine->addWidget(m_separator);
    valueLine->addWidget(m_link);
    valueLine->addStretch();
    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    texts->addWidget(titleLabel);
    texts->addLayout(valueLine);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(theme::px(16), theme::px(12), theme::px(16), theme::px(12));
    layout->setSpacing(theme::px(12));
    layout->addWidget(tile);
    layout->addLayout(texts, 1);
    setValue(QString());
}

void SummaryCard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_style == Style::prominent) {
        QLinearGradient gradient(box.topLeft(), box.bottomRight());
        gradient.setColorAt(0, theme::accentFill());
        gradient.setColorAt(1, theme::accentFill().darker(112));
        painter.setPen(Qt::NoPen);
        painter.setBrush(gradient);
    } else {
        painter.setPen(QPen(theme::primary(0.08), 1));
        painter.setBrush(Qt::NoBrush);
    }
    painter.drawRoundedRect(box, 10, 10);
}

void SummaryCard::setValue(const QString& value, const QString& link)
{
    m_value->setText(value);
    m_link->setText(link);
    m_link->updateGeometry();
    m_separator->setVisible(!link.isEmpty());
    m_link->setVisible(!link.isEmpty());
    setAccessibleName(m_title + QStringLiteral(", ") + this->value());
}

QString SummaryCard::value() const
{
    return m_link->text().isEmpty() ? m_value->text()
                                    : m_value->text() + QStringLiteral(" · ") + m_link->text();
}

} // namespace quillmark
