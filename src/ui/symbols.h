#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

namespace quillmark {

// A symbol by its freedesktop icon name ("document-save"), drawn as a one-colour glyph. An action's
// symbol is the desktop theme's icon when it has one, else the bundled drawing, so the window looks
// complete without an icon theme; the window's own symbols (the chevron, the status icons, the
// folder and file marks) are always the bundled drawings. An invalid colour keeps the glyph's own
// colours.
QPixmap symbolPixmap(const QString& name, int size, const QColor& color = {});
QIcon symbolIcon(const QString& name, const QColor& color = {});

} // namespace quillmark
