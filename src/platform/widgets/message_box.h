#pragma once

class QMessageBox;

namespace quillmark {

// Gives a message box plain text and plain text buttons (styles put icons on them), and its
// informative text room for a sentence on one line. Call it once the texts and buttons are set.
void tidyMessageBox(QMessageBox& box);

} // namespace quillmark
