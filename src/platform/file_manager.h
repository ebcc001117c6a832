#pragma once

#include <filesystem>

namespace quillmark {

// These ask other programs and wait for them: call them off the GUI thread. Each is false when
// nothing could be started.

// Shows a folder (or opens a file) in the desktop's file manager.
bool showInFileManager(const std::filesystem::path& path);

// Shows a file in its folder, selected where the file manager can select it (the freedesktop
// FileManager1 interface: Nautilus, Nemo, Caja, Dolphin, Thunar); elsewhere its folder opens.
bool showFileInFileManager(const std::filesystem::path& file);

// Opens a file with the desktop's default application for it: a video with its player.
bool openWithDefaultApplication(const std::filesystem::path& file);

} // namespace quillmark
