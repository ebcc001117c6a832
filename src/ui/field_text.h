#pragma once

#include <QLineEdit>

namespace quillmark {

// Sets a field's text only when it differs, so the caret does not jump while the user types; a
// new text shows from its start.
inline void showFieldText(QLineEdit* field, const QString& text)
{
    if (field->text() == text)
        return;
    field->setText(text);
    field->setCursorPosition(0);
}

} // namespace quillmark
