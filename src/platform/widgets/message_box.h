#pragma once

class QMessageBox;

namespace quillmark {

// Gives a message box room for a sentence on one line and plain text buttons: without it the
// box is as narrow as its title, short messages wrap over several lines, and styles put icons
// on the buttons. Call it once the texts and buttons are set.
void tidyMessageBox(QMessageBox& box);

} // namespace quillmark
