#include "app/folder_check.h"

#include "platform/folder_token.h"

#include <QCoreApplication>

#include <future>
#include <memory>
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

std::filesystem::path selectionFolder(const std::vector<std::filesystem::path>& selection)
{
    std::filesystem::path common;
    for (const std::filesystem::path& given : selection) {
        std::filesystem::path entry = std::filesystem::absolute(given).lexically_normal();
        if (!entry.has_filename())
            entry = entry.parent_path();
        const std::filesystem::path folder = entry.parent_path();
        if (common.empty()) {
            common = folder;
            continue;
        }
        std::filesystem::path shared;
        for (auto a = common.begin(), b = folder.begin();
             a != common.end() && b != folder.end() && *a == *b; ++a, ++b)
            shared /= *a;
        common = shared;
    }
    return common;
}

Expected<CheckedFolder>
checkFolderBriefly(const std::filesystem::path& folder,
                   const std::function<bool(std::function<void()>)>& startWorker)
{
    struct Examined {
        FolderState state;
        QByteArray token;
    };
    auto answer = std::make_shared<std::promise<Examined>>();
    std::future<Examined> examined = answer->get_future();
    if (!startWorker([answer, folder] {
            FolderState state = examineFolder(folder);
            answer->set_value(
                Examined{state, state.problem ? QByteArray() : makeFolderToken(folder)});
        }) ||
        examined.wait_for(std::chrono::milliseconds(250)) != std::future_status::ready)
        return CheckedFolder{folder, std::nullopt, {}};
    const Examined found = examined.get();
    if (found.state.problem)
        return Failure{FailureKind::content, *found.state.problem};
    return CheckedFolder{folder, found.state.identity, found.token};
}

} // namespace quillmark
