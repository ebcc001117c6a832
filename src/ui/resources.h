#pragma once

namespace quillmark {

// The icons and the style sheet live in a static library, whose resources are registered only
// when asked for; safe to call any number of times.
void registerUiResources();

} // namespace quillmark
