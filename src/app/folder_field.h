#pragma once

#include <QString>

#include <filesystem>
#include <optional>

namespace quillmark {

// The folder path field and the folder it names. A chosen, restored or renamed folder is known
// by its exact bytes, which hold while the field still shows that folder; typed text names the
// folder it spells after tilde expansion.
class FolderField {
public:
    const QString& text() const { return m_text; }
    // False when the text is unchanged.
    bool setText(const QString& text);
    // The field shows the folder, whose bytes are kept.
    bool setFolder(const std::filesystem::path& folder);

    std::filesystem::path folder() const;
    // The exact bytes, while the field shows them.
    std::optional<std::filesystem::path> knownFolder() const;

private:
    QString m_text;
    std::optional<std::filesystem::path> m_folder;
};

} // namespace quillmark
