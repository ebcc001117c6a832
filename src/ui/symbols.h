#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

namespace quillmark {

// A symbol by its SF Symbols name ("folder.fill"), drawn as a one-colour glyph: the desktop
// theme's matching icon when it has one, else the bundled drawing, so the window looks complete
// without an icon theme. An invalid colour keeps the glyph's own colours.
QPixmap symbolPixmap(const QString& name, int size, const QColor& color = {});
QIcon symbolIcon(const QString& name, const QColor& color = {});

} // namespace quillmark
