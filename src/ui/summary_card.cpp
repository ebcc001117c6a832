#include "ui/summary_card.h"

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
        setFixedSize(38, 38);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_fill);
        painter.drawRoundedRect(rect(), 9, 9);
        painter.drawPixmap((width() - 20) / 2, (height() - 20) / 2, m_symbol);
    }

private:
    QPixmap m_symbol;
    QColor m_fill;
};

// The prominent card's title, quieter than its value and still readable on the accent fill.
constexpr qreal titleOpacity = 0.9;

QColor withOpacity(QColor color, qreal opacity)
{
    color.setAlphaF(opacity);
    return color;
}

} // namespace

SummaryCard::SummaryCard(Style style, const QString& symbol, const QString& title, QWidget* parent)
    : QWidget(parent)
    , m_style(style)
    , m_value(new QLabel(this))
{
    const bool prominent = style == Style::prominent;
    const QColor ink = prominent ? QColor(Qt::white) : theme::accentText();
    auto* tile = new IconTile(symbolPixmap(symbol, 20, ink),
                              prominent ? withOpacity(Qt::white, 0.16) : theme::accent(0.1), this);

    auto* titleLabel = new QLabel(title, this);
    titleLabel->setFont(theme::font(10, QFont::Bold));
    m_value->setFont(theme::font(prominent ? 20 : 15, QFont::Bold));
    QPalette titlePalette = titleLabel->palette();
    titlePalette.setColor(QPalette::WindowText,
                          prominent ? withOpacity(Qt::white, titleOpacity) : theme::secondary());
    titleLabel->setPalette(titlePalette);
    if (prominent) {
        QPalette valuePalette = m_value->palette();
        valuePalette.setColor(QPalette::WindowText, Qt::white);
        m_value->setPalette(valuePalette);
    }

    m_value->setObjectName(QStringLiteral("summaryValue"));
    m_value->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(m_value, &QLabel::linkActivated, this, &SummaryCard::linkActivated);
    connect(m_value, &QLabel::linkHovered, this,
            [this](const QString& link) { showValue(!link.isEmpty()); });

    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    texts->addWidget(titleLabel);
    texts->addWidget(m_value);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(12);
    layout->addWidget(tile);
    layout->addLayout(texts);
    layout->addStretch();
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
    m_text = value;
    m_link = link;
    showValue(false);
}

QString SummaryCard::value() const
{
    return m_link.isEmpty() ? m_text : m_text + QStringLiteral(" · ") + m_link;
}

// The link is underlined while the pointer is on it, as links are.
void SummaryCard::showValue(bool linkHovered)
{
    if (m_link.isEmpty()) {
        m_value->setTextFormat(Qt::PlainText);
        m_value->setText(m_text);
        return;
    }
    m_value->setTextFormat(Qt::RichText);
    m_value->setText(
        QStringLiteral("%1 · <a href=\"link\" style=\"color:%2;text-decoration:%3\">%4</a>")
            .arg(m_text.toHtmlEscaped(), theme::accentText().name(),
                 linkHovered ? QStringLiteral("underline") : QStringLiteral("none"),
                 m_link.toHtmlEscaped()));
}

} // namespace quillmark
