#pragma once

#include "ui/section.h"

#include <QLabel>

namespace quillmark {

class LinkButton;

// One of the two cards above the folder list: an icon tile, a small title and a value, and
// after the value, when there is one, a link. To a screen reader the card is named by its title
// and its value together ("Gran totale, 3h33m").
class SummaryCard : public Section {
    Q_OBJECT

public:
    enum class Style { prominent, plain };

    SummaryCard(Style style, const QString& symbol, const QString& title,
                QWidget* parent = nullptr);

    // The value, and after it a part shown as a link (by mouse or keyboard: linkActivated()).
    void setValue(const QString& value, const QString& link = {});
    // As plain text, the link included.
    QString value() const;

Q_SIGNALS:
    void linkActivated();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Style m_style;
    QString m_title;
    QLabel* m_value;
    QLabel* m_separator;
    LinkButton* m_link;
};

} // namespace quillmark
