#pragma once

#include <QFontMetrics>
#include <QRect>
#include <QString>
#include <QWidget>

class QPainter;

namespace quillmark {

// How much room a chip gives its text on each side.
struct ChipPadding {
    int horizontal;
    int vertical;
};

// The size of a chip for the text: the text and its padding.
QSize chipSize(const QFontMetrics& metrics, const QString& text, ChipPadding padding);

// A capsule filled with the accent at the opacity, the text centred in the readable accent: the
// extension chips and the folder totals. The painter's font is used.
void paintChip(QPainter& painter, const QRect& rect, const QString& text, qreal fillOpacity);

// One capsule as a widget of its own, so that a screen reader meets its text.
class Chip : public QWidget {
    Q_OBJECT

public:
    Chip(const QString& text, ChipPadding padding, QWidget* parent = nullptr);
    const QString& text() const { return m_text; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    ChipPadding m_padding;
};

} // namespace quillmark
