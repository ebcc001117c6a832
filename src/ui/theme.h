#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QLabel;
class QWidget;

namespace quillmark::theme {

// The contrast ratio of two colours, 1 to 21, as WCAG 2 defines it; the top colour's alpha is
// laid over the bottom one first.
double contrast(const QColor& text, const QColor& background);
// A colour laid over another, as painting it would.
QColor over(const QColor& top, const QColor& bottom);
// The colour, made darker on a light background or lighter on a dark one until text in it
// reads at 4.5:1 at least.
QColor readable(const QColor& ink, const QColor& background);

// The accent is the palette's highlight, as on the desktop the window runs on.
QColor accent();
QColor accent(qreal opacity);
// The accent as text on the window (or on a faint accent fill over it), readable.
QColor accentText();
// The accent as the fill under white text (Calcola, the grand total), readable.
QColor accentFill();
// Primary text at an opacity: the faint fills and borders of fields and cards.
QColor primary(qreal opacity = 1.0);
// Quieter text, readable on the window.
QColor secondary();
// Red that stays readable on the background: deep on light palettes, lighter on dark ones.
QColor error();
// The sandbox banner's orange, at an opacity.
QColor warning(qreal opacity = 1.0);
// The green of a run that went well.
QColor success();
// A switch knob's shadow.
QColor shadow();
// The folder icon's colour: sRGB 0.93, 0.71, 0.32.
QColor folderTint();

// A font of the given pixel size; monospaced where the text is a path, a name or a label.
QFont font(int pixelSize, QFont::Weight weight = QFont::Normal, bool monospaced = false);
QFont caption();
QFont callout();

// A label in the secondary colour and the caption font.
QLabel* captionLabel(const QString& text, QWidget* parent);

} // namespace quillmark::theme
