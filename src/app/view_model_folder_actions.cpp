#include "actions/folder_renamer.h"
#include "actions/playlist_generator.h"
#include "app/duration_calculator_view_model.h"
#include "model/app_error.h"
#include "model/path_text.h"
#include "platform/desktop_services.h"
#include "platform/move_without_replacing.h"
#include "scan/extensions.h"
#include "scan/folder_walk.h"

namespace quillmark {

void DurationCalculatorViewModel::renameFolderWithDuration()
{
    if (!m_currentDurationLabel)
        return;
    const std::filesystem::path folder = folderURL();
    const std::string currentName = folder.filename().native();
    const std::string newName = folderNameWithDuration(currentName, *m_currentDurationLabel);
    if (newName == currentName) {
        setStatus(tr("Il nome della cartella contiene già la durata aggiornata"));
        return;
    }
    // No sandbox guards the parent folder here, so there is no access to confirm first.
    const std::filesystem::path destination = folder.parent_path() / newName;
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

void DurationCalculatorViewModel::createPlaylists()
{
    const auto folder = validatedFolderURL();
    if (!folder)
        return;
    const QStringList extensions = parseExtensions(m_extensionsText);
    QList<GeneratedPlaylist> playlists;
    try {
        playlists = generatePlaylists(walkFolder(*folder), extensions, *folder,
                                      folderDurationLabels(m_currentReport));
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
    const std::filesystem::path folder = folderURL();
    std::error_code error;
    if (!std::filesystem::exists(folder, error)) {
        showAlert(tr("Info"), tr("Seleziona una cartella valida da aprire."));
        return;
    }
    m_services.desktop->openInFileManager(folder);
}

} // namespace quillmark
