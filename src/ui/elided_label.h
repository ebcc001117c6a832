#pragma once

#include <QStringList>
#include <QWidget>

namespace quillmark {

// Text on at most a given number of lines (one unless set), wrapped anywhere when it has to be,
// whose last line is shortened with an ellipsis, where the mode says, when the rest does not fit.
class ElidedLabel : public QWidget {
    Q_OBJECT

public:
    explicit ElidedLabel(Qt::TextElideMode mode,
                         Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter,
                         QWidget* parent = nullptr);

    void setText(const QString& text);
    const QString& text() const { return m_text; }
    void setColor(const QColor& color);
    void setMaximumLines(int lines);
    // The lines as shown at the label's width.
    QStringList shownLines() const { return linesFor(width()); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList linesFor(int width) const;

    QString m_text;
    Qt::TextElideMode m_mode;
    Qt::Alignment m_alignment;
    QColor m_color;
    int m_maximumLines = 1;
};

} // namespace quillmark
