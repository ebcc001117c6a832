#include "app/folder_check.h"

#include <QCoreApplication>

#include <sys/stat.h>

namespace quillmark {

QString emptyFolderMessage()
{
    return QCoreApplication::translate("FolderCheck", "Seleziona una cartella valida.");
}

FolderState examineFolder(const std::filesystem::path& folder)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        return {QCoreApplication::translate("FolderCheck", "La cartella selezionata non esiste."),
                std::nullopt};
    if (!S_ISDIR(info.st_mode))
        return {
            QCoreApplication::translate("FolderCheck", "Il percorso indicato non è una cartella."),
            std::nullopt};
    return {std::nullopt, FolderIdentity{quint64(info.st_dev), quint64(info.st_ino)}};
}

std::optional<QString> folderProblem(const std::filesystem::path& folder)
{
    return examineFolder(folder).problem;
}

} // namespace quillmark
