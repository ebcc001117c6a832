#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QLabel;
class QWidget;

namespace quillmark::theme {

// The accent is the palette's highlight, as on the desktop the window runs on.
QColor accent();
QColor accent(qreal opacity);
// Primary text at an opacity: the faint fills and borders of fields and cards.
QColor primary(qreal opacity = 1.0);
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
