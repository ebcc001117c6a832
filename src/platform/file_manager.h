#pragma once

#include <filesystem>

namespace quillmark {

// Shows a folder (or opens a file) in the desktop's file manager; false when nothing could be
// started to open it. Asks other programs and waits for them: call it off the GUI thread.
bool showInFileManager(const std::filesystem::path& path);

} // namespace quillmark
