#pragma once

namespace quillmark {

// Roles for the window's own widgets, which Qt's bridge to assistive technology cannot know: a
// section is a panel, a painted label is text, the spinner an animation, the status line a status
// bar (named by its text), the error count a link that can be pressed. Installed once, before any
// window is made.
void installAccessibility();

} // namespace quillmark
