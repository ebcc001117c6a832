#pragma once

#include <QString>

namespace quillmark {

// At most `limit` user-perceived characters: a longer text keeps its end behind "...", so a
// path still shows its file name. Accents and emoji are never cut apart.
QString shortenedFromTheStart(const QString& text, qsizetype limit);

} // namespace quillmark
