#pragma once

#include <QString>

namespace quillmark {

// The window's style sheet, with its colours taken from the current palette.
QString windowStyleSheet();

} // namespace quillmark
