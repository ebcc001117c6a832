#pragma once

#include <QString>

#include <filesystem>

namespace quillmark {

// A path as text for people and reports. Bytes that are not valid UTF-8 show as U+FFFD; the
// path itself stays in raw bytes wherever the file system is asked.
QString pathText(const std::filesystem::path& path);

// Whether pathText shows the path as it is, every byte being valid UTF-8.
bool isUtf8Path(const std::filesystem::path& path);

// The last component of a path, ignoring trailing separators ("/a/b/" gives "b", "/" gives "/").
QString lastPathComponent(const std::filesystem::path& path);

} // namespace quillmark
