#include "app/duration_calculator_view_model.h"
#include "folder_actions/folder_renamer.h"
#include "folder_actions/playlist_generator.h"
#include "model/app_error.h"
#include "model/path_text.h"
#include "platform/desktop_services.h"
#include "platform/folder_identity.h"
#include "platform/move_without_replacing.h"
#include "scan/extensions.h"
#include "scan/folder_walk.h"

namespace quillmark {

void DurationCalculatorViewModel::renameFolderWithDuration()
{
    if (!m_report.durationLabel)
        return;
    const std::filesystem::path folder = m_folder.folder();
    if (const auto refusal = renameRefusal(folder)) {
        showAlert(tr("Errore"), tr("Impossibile rinominare la cartella: %1").arg(*refusal));
        return;
    }
    const std::string currentName = folder.filename().native();
    const std::string newName = folderNameWithDuration(currentName, *m_report.durationLabel);
    if (newName == currentName) {
        setStatus(tr("Il nome della cartella contiene già la durata aggiornata"));
        return;
    }
    const std::filesystem::path parent = folder.parent_path();
    // One plain argument each, so that a "%2" in a folder name is not taken for a placeholder.
    const bool confirmed = m_services.desktop.confirm(ConfirmationRequest{
        tr("Rinomina cartella"),
        tr("Rinominare la cartella \"%1\" in \"%2\"?\n%3")
            .arg(lastPathComponent(folder),
                 QString::fromUtf8(newName.data(), qsizetype(newName.size())), pathText(parent)),
        tr("Rinomina"), tr("Annulla")});
    if (!confirmed) {
        setStatus(tr("Rinomina annullata: accesso alla cartella superiore non confermato"));
        return;
    }
    const std::filesystem::path destination = parent / newName;
    try {
        moveWithoutReplacing(folder, destination);
    } catch (const std::exception& error) {
        showAlert(tr("Errore"),
                  tr("Impossibile rinominare la cartella: %1").arg(describeError(error)));
        return;
    }
    setFolder(destination);
    m_preferences.rememberFolder(destination);
    refreshCanLoadReport();
    setStatus(tr("Cartella rinominata in \"%1\"").arg(lastPathComponent(destination)));
}

std::optional<QString>
DurationCalculatorViewModel::renameRefusal(const std::filesystem::path& folder) const
{
    // Not through a final link: the move would rename the link, not the folder it leads to.
    const auto identity = folderIdentity(folder, false);
    std::error_code missing;
    // Nothing there cannot be moved either: the move says why.
    if (!identity && !std::filesystem::exists(std::filesystem::symlink_status(folder, missing)))
        return std::nullopt;
    // The path field may name another folder than the one measured, or "." may be the home.
    if (identity != m_report.folder)
        return tr("il report riguarda un'altra cartella. Premi Calcola per aggiornarlo.");
    if (identity == folderIdentity(m_services.homeFolder))
        return tr("è la tua cartella personale, che non viene mai rinominata.");
    if (identity == folderIdentity("/"))
        return tr("è la cartella radice del file system, che non viene mai rinominata.");
    if (isMountPoint(folder))
        return tr("è il punto di montaggio di un disco o di una condivisione, che non viene mai "
                  "rinominato.");
    return std::nullopt;
}

void DurationCalculatorViewModel::createPlaylists()
{
    const auto folder = validatedFolder();
    if (!folder)
        return;
    const QStringList extensions = extensionList();
    QList<GeneratedPlaylist> playlists;
    try {
        playlists = generatePlaylists(walkFolder(*folder), extensions, *folder,
                                      folderDurationLabels(m_report.summary));
    } catch (const std::exception& error) {
        showAlert(tr("Errore"),
                  tr("Impossibile generare le playlist: %1").arg(describeError(error)));
        return;
    }
    if (playlists.isEmpty()) {
        showAlert(tr("Info"), tr("Nessun video trovato: nessuna playlist generata."));
        return;
    }
    setStatus(
        tr("Generate %1 playlist in %2").arg(QString::number(playlists.size()), pathText(*folder)));
}

void DurationCalculatorViewModel::openFolder()
{
    const std::filesystem::path folder = m_folder.folder();
    std::error_code error;
    if (!std::filesystem::exists(folder, error)) {
        showAlert(tr("Info"), tr("Seleziona una cartella valida da aprire."));
        return;
    }
    if (!m_services.desktop.openInFileManager(folder))
        showAlert(tr("Errore"),
                  tr("Impossibile aprire la cartella: nessun gestore di file è disponibile."));
}

} // namespace quillmark
