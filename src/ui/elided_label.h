#pragma once

#include <QWidget>

namespace quillmark {

// One line of text that is shortened with an ellipsis, where the mode says, when it does not fit.
class ElidedLabel : public QWidget {
    Q_OBJECT

public:
    explicit ElidedLabel(Qt::TextElideMode mode,
                         Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter,
                         QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return m_text; }
    void setColor(const QColor& color);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    Qt::TextElideMode m_mode;
    Qt::Alignment m_alignment;
    QColor m_color;
};

} // namespace quillmark
