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

    void setValue(const QString& value) { m_value->setText(value); }
    QString value() const { return m_value->text(); }
    // A card that can be clicked shows a pointing hand and says so with clicked().
    void setClickable(bool clickable);

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Style m_style;
    QLabel* m_value;
    bool m_clickable = false;
};

} // namespace quillmark
