#pragma once

#include <QLabel>
#include <QWidget>

namespace quillmark {

// One of the two cards above the folder list: an icon tile, a small title and a value.
class SummaryCard : public QWidget {
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
    void showValue(bool linkHovered);

    Style m_style;
    QLabel* m_value;
    QString m_text;
    QString m_link;
};

} // namespace quillmark
