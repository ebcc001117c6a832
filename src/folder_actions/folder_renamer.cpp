#include "folder_actions/folder_renamer.h"

#include "report/report_format.h"

namespace quillmark {

std::string folderNameWithDuration(const std::string& currentName, const QString& label)
{
    const QString decoded = QString::fromUtf8(currentName.data(), qsizetype(currentName.size()));
    const QRegularExpressionMatch match = durationSuffixPattern().match(decoded);
    // A suffix is made of characters that were valid UTF-8, so its encoding is its exact bytes.
    const std::size_t suffixBytes =
        match.hasMatch() ? std::size_t(match.captured(0).toUtf8().size()) : 0;
    // The name before the suffix keeps its raw bytes; only what is added is text.
    return currentName.substr(0, currentName.size() - suffixBytes) +
           withDuration(QString(), label).toStdString();
}

} // namespace quillmark
