#include "app/folder_field.h"

#include "model/path_text.h"
#include "platform/paths.h"

namespace quillmark {

bool FolderField::setText(const QString& text)
{
    if (text == m_text)
        return false;
    m_text = text;
    return true;
}

bool FolderField::setFolder(const std::filesystem::path& folder)
{
    m_folder = folder;
    return setText(pathText(folder));
}

std::optional<std::filesystem::path> FolderField::knownFolder() const
{
    if (m_folder && pathText(*m_folder) == m_text)
        return m_folder;
    return std::nullopt;
}

std::filesystem::path FolderField::folder() const
{
    if (const auto known = knownFolder())
        return *known;
    return normalizedPath(expandTilde(m_text));
}

} // namespace quillmark
