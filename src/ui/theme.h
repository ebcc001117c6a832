#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

#include <optional>
#include <vector>

class QLabel;
class QWidget;

namespace quillmark::theme {

// The contrast ratio of two colours, 1 to 21, as WCAG 2 defines it; the top colour's alpha is
// laid over the bottom one first.
double contrast(const QColor& text, const QColor& background);
// A colour laid over another, as painting it would.
QColor over(const QColor& top, const QColor& bottom);
// The colour, made darker on a light background or lighter on a dark one until it stands out
// from each background at the ratio at least.
QColor readable(const QColor& ink, const std::vector<QColor>& backgrounds, double ratio);
// Until text in it reads at 4.5:1 at least as drawn.
QColor readable(const QColor& ink, const QColor& background);

// The backgrounds of the report's rows: an open folder's, and a selected row's.
QColor openRowBackground();
QColor selectedRowBackground();

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
// The sandbox banner's orange, at an opacity; as a mark on the window.
QColor warning(qreal opacity = 1.0);
QColor warningMark();
// The green of a run that went well, as a mark on the window.
QColor success();
// A folder's share of the grand total, as a bar.
QColor shareBar();
// The colour as a mark that is not text (a bar, a track, an icon): 3:1 against the window.
QColor mark(const QColor& colour);
// The ring of the control that has the keyboard: 3:1 at least against the window and against the
// accent fill of Calcola.
QColor focusRing();
// A switch knob's shadow.
QColor shadow();
// The folder icon's colour: sRGB 0.93, 0.71, 0.32.
QColor folderTint();

// How the user's font compares with the one the window is designed for (13 pixels: 10 points at
// 96 dpi): every size of the window follows it, so a larger font makes a larger window.
double scale();
// Whether the application's font is still the one `seen` holds; takes the new one when not. What
// is measured from the font is kept until it changes: asked for every row laid out or painted,
// this compares fonts, where QFont::key() would format a string.
bool sameApplicationFont(std::optional<QFont>& seen);
// A length of the design, in pixels at the design's font, at the user's font.
int px(double designPixels);
// A font of the design's size (pixels at the design's font), relative to the application font;
// monospaced where the text is a path, a name or a label.
QFont font(int designPixels, QFont::Weight weight = QFont::Normal, bool monospaced = false);
QFont caption();
QFont callout();

// A label in the secondary colour and the caption font.
QLabel* captionLabel(const QString& text, QWidget* parent);

} // namespace quillmark::theme
