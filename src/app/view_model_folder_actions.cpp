#include "app/duration_calculator_view_model.h"
#include "folder_actions/folder_renamer.h"
#include "model/app_error.h"
#include "model/path_text.h"
#include "platform/desktop_services.h"
#include "platform/folder_identity.h"
#include "platform/folder_token.h"
#include "platform/move_without_replacing.h"

#include <QCoreApplication>

namespace quillmark {

namespace {

// Why the folder must not be renamed with the duration of the report made for reportFolder, if
// it must not.
std::optional<QString> renameRefusal(const std::filesystem::path& folder,
                                     const std::optional<FolderIdentity>& reportFolder,
                                     const std::filesystem::path& homeFolder)
{
    // Not through a final link: the move would rename the link, not the folder it leads to.
    const auto identity = folderIdentity(folder, false);
    std::error_code missing;
    // Nothing there cannot be moved either: the move says why.
    if (!identity && !std::filesystem::exists(std::filesystem::symlink_status(folder, missing)))
        return std::nullopt;
    // The path field may name another folder than the one measured, or "." may be the home.
    if (identity != reportFolder)
        return QCoreApplication::translate(
            "DurationCalculatorViewModel",
            "il report riguarda un'altra cartella. Premi Calcola per aggiornarlo.");
    if (identity == folderIdentity(homeFolder))
        return QCoreApplication::translate(
            "DurationCalculatorViewModel",
            "è la tua cartella personale, che non viene mai rinominata.");
    if (identity == folderIdentity("/"))
        return QCoreApplication::translate(
            "DurationCalculatorViewModel",
            "è la cartella radice del file system, che non viene mai rinominata.");
    if (isMountPoint(folder))
        return QCoreApplication::translate(
            "DurationCalculatorViewModel",
            "è il punto di montaggio di un disco o di una condivisione, che non "
            "viene mai rinominato.");
    return std::nullopt;
}

} // namespace

// The checks and the move run on a worker; between them, the user confirms.
void DurationCalculatorViewModel::renameFolderWithDuration()
{
    if (isBusy() || !m_report.durationLabel)
        return;
    const std::filesystem::path folder = m_folder.folder();
    const std::string newName =
        folderNameWithDuration(folder.filename().native(), *m_report.durationLabel);
    if (!startWork([post = m_work.poster(), this, folder, newName, reportFolder = m_report.folder,
                    home = m_services.homeFolder] {
            const auto refusal = renameRefusal(folder, reportFolder, home);
            post([this, folder, newName, refusal] {
                if (refusal) {
                    setTask(Task::none);
                    showError(tr("Impossibile rinominare la cartella: %1").arg(*refusal));
                } else if (newName == folder.filename().native()) {
                    setTask(Task::none);
                    setStatus(tr("Il nome della cartella contiene già la durata aggiornata"),
                              StatusKind::note);
                } else {
                    confirmRename(folder, newName);
                }
            });
        }))
        return;
    setTask(Task::renaming);
}

void DurationCalculatorViewModel::confirmRename(const std::filesystem::path& folder,
                                                const std::string& newName)
{
    const std::filesystem::path parent = folder.parent_path();
    // One plain argument each, so that a "%2" in a folder name is not taken for a placeholder.
    const bool confirmed = m_services.desktop.confirm(ConfirmationRequest{
        tr("Rinomina cartella"),
        tr("Rinominare la cartella \"%1\" in \"%2\"?")
                .arg(lastPathComponent(folder),
                     QString::fromUtf8(newName.data(), qsizetype(newName.size()))) +
            QLatin1Char('\n') + tr("In: %1").arg(pathText(parent)),
        tr("Rinomina"), tr("Annulla")});
    if (!confirmed) {
        setTask(Task::none);
        setStatus(tr("Rinomina annullata"), StatusKind::note);
        return;
    }
    const std::filesystem::path destination = parent / newName;
    if (!startWork([post = m_work.poster(), this, folder, destination] {
            std::optional<QString> failure;
            QByteArray token;
            bool hasReport = false;
            try {
                moveWithoutReplacing(folder, destination);
                token = makeFolderToken(destination);
                std::error_code missing;
                hasReport = std::filesystem::exists(destination / "durata.txt", missing);
            } catch (const std::exception& error) {
                failure = describeError(error);
            }
            post([this, destination, failure, token, hasReport] {
                setTask(Task::none);
                if (failure) {
                    showError(tr("Impossibile rinominare la cartella: %1").arg(*failure));
                    return;
                }
                setFolder(destination);
                moveOn();
                m_preferences.rememberFolder(destination);
                m_preferences.rememberFolderToken(destination, token);
                update(m_canLoadReport, hasReport,
                       &DurationCalculatorViewModel::canLoadReportChanged);
                setStatus(tr("Cartella rinominata in \"%1\"").arg(lastPathComponent(destination)));
            });
        }))
        setTask(Task::none);
}

void DurationCalculatorViewModel::openFolder()
{
    startWork([post = m_work.poster(), this, folder = m_folder.folder(),
               show = m_services.showInFileManager] {
        std::error_code error;
        const bool exists = std::filesystem::exists(folder, error);
        const bool shown = exists && show(folder);
        post([this, exists, shown] {
            if (!exists)
                showInfo(tr("Seleziona una cartella valida da aprire."));
            else if (!shown)
                showError(tr("Impossibile aprire la cartella: nessun gestore di "
                             "file è disponibile."));
        });
    });
}

std::vector<RecentFolder> DurationCalculatorViewModel::recentFolders() const
{
    std::vector<RecentFolder> folders;
    for (std::filesystem::path& folder : m_preferences.recentFolders()) {
        const bool reachable = !m_unreachable.contains(folder);
        folders.push_back(RecentFolder{std::move(folder), reachable});
    }
    return folders;
}

// One worker per folder, so that a share that does not answer holds up only its own entry; a
// folder still being looked at is not asked again.
void DurationCalculatorViewModel::checkRecentFolders()
{
    for (const std::filesystem::path& folder : m_preferences.recentFolders()) {
        if (m_checking.contains(folder))
            continue;
        const bool started = m_work.start([post = m_work.poster(), this, folder] {
            std::error_code error;
            const bool reachable = std::filesystem::is_directory(folder, error);
            post([this, folder, reachable] {
                m_checking.erase(folder);
                const bool changed = reachable ? m_unreachable.erase(folder) > 0
                                               : m_unreachable.insert(folder).second;
                if (changed)
                    Q_EMIT recentFoldersChanged();
            });
        });
        if (started)
            m_checking.insert(folder);
    }
}

} // namespace quillmark
