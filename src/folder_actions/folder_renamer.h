#pragma once

#include <QString>

#include <string>

namespace quillmark {

// The folder's name with its duration at the end: "Viaggi (0h45m)" with 1h12m becomes
// "Viaggi (1h12m)". Only a duration suffix at the very end is replaced, with the blanks around it.
// Raw bytes, so that a name that is not UTF-8 keeps its bytes.
std::string folderNameWithDuration(const std::string& currentName, const QString& label);

} // namespace quillmark
