#pragma once

#include <filesystem>

namespace quillmark {

// A regular file (links followed) that this process may execute.
bool isExecutableFile(const std::filesystem::path& path);

} // namespace quillmark
