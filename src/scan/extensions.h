#pragma once

#include <QString>
#include <QStringList>

#include <filesystem>

namespace quillmark {

// ".mp4", ".mkv", ".mov", ".f4v", ".flv", ".avi", in this order.
const QStringList& defaultExtensions();

// "MP4, .Mov,,mkv" gives ".mp4", ".mov", ".mkv". Only commas separate entries; a text without any
// entry gives the default list, so the result is never empty.
QStringList parseExtensions(const QString& text);

// Whether the file's last extension, lower-cased and with its full stop, is one of the list.
bool matchesExtension(const std::filesystem::path& file, const QStringList& extensions);

} // namespace quillmark
