#include "app/folder_check.h"

#include "model/plain_text.h"
#include "platform/paths.h"

#include <QCoreApplication>

#include <sys/stat.h>

namespace quillmark {

QString emptyFolderMessage()
{
    return QCoreApplication::translate("FolderCheck", "Seleziona una cartella valida.");
}

std::optional<QString> folderProblem(const std::filesystem::path& folder)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        return QCoreApplication::translate("FolderCheck", "La cartella selezionata non esiste.");
    if (!S_ISDIR(info.st_mode))
        return QCoreApplication::translate("FolderCheck",
                                           "Il percorso indicato non è una cartella.");
    return std::nullopt;
}

FolderCheck checkTypedFolder(const QString& typed)
{
    if (isBlank(typed))
        return FolderCheck{{}, emptyFolderMessage()};
    const std::filesystem::path folder = normalizedPath(expandTilde(typed));
    return FolderCheck{folder, folderProblem(folder)};
}

} // namespace quillmark
