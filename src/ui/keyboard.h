#pragma once

class QMenu;
class QToolButton;

namespace quillmark {

// Return and Enter press the tool button, as they press a push button; Down and Alt+Down open
// its menu, as they open a combo box's.
void pressWithKeyboard(QToolButton* button);

// Gives each action of the menu a mnemonic, as desktop toolkits do for texts that come from
// catalogues without them: the first letter of its text that no other action took, the start of
// a word first. Texts that carry their own keep it.
void giveMnemonics(QMenu* menu);

} // namespace quillmark
