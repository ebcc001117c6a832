#pragma once

#include <QString>

namespace quillmark {

// A name as the window shows it: the symbols the report uses for line breaks in names
// (␤ ␍ ␋ ␌), which the usual fonts lack, become symbols they have. The report keeps its own.
QString displayedName(QString name);

// A tooltip of plain text that wraps at a readable width (about sixty characters, at spaces or
// after a "/"), with the middle of a very long text left out.
QString tooltipText(const QString& text);

} // namespace quillmark
