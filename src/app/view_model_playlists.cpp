#include "app/duration_calculator_view_model.h"
#include "folder_actions/playlist_generator.h"
#include "model/app_error.h"
#include "model/path_text.h"
#include "report/folder_labels.h"

#include <QLocale>

#include <chrono>

namespace quillmark {

// What a playlist run did, for the window to say.
struct PlaylistsWritten {
    std::filesystem::path folder;
    qsizetype planned = 0;
    qsizetype written = 0;
    QStringList failures; // "file: reason", one per playlist that could not be written
    std::optional<QString> walkFailure;
    bool stopped = false;
};

namespace {

// Progress is said this often at most: a window redrawn for each of thousands of small files
// would slow the writing down.
constexpr std::chrono::milliseconds progressInterval(50);
constexpr qsizetype failuresListed = 5;

PlaylistsWritten writePlaylists(const std::filesystem::path& folder, const QStringList& extensions,
                                const FolderDurationLabels& labels, std::stop_token stop,
                                const std::function<void(qsizetype, qsizetype)>& progressed)
{
    PlaylistsWritten result{folder, 0, 0, {}, std::nullopt, false};
    const std::vector<WalkedFolder> folders = walkFolder(folder, stop);
    if (stop.stop_requested()) {
        result.stopped = true;
        return result;
    }
    if (const int error = folders.front().listingError) {
        result.walkFailure =
            platformErrorDescription(std::error_code(error, std::generic_category()));
        return result;
    }
    const std::vector<PlannedPlaylist> playlists =
        planPlaylists(folders, extensions, folder, labels);
    result.planned = qsizetype(playlists.size());
    auto lastSaid = std::chrono::steady_clock::now();
    for (const PlannedPlaylist& playlist : playlists) {
        if (stop.stop_requested()) {
            result.stopped = true;
            break;
        }
        try {
            writePlaylist(playlist);
            ++result.written;
        } catch (const std::exception& error) {
            result.failures.append(lastPathComponent(playlist.file) + QStringLiteral(": ") +
                                   describeError(error));
        }
        if (const auto now = std::chrono::steady_clock::now(); now - lastSaid >= progressInterval) {
            lastSaid = now;
            progressed(result.written + result.failures.size(), result.planned);
        }
    }
    return result;
}

} // namespace

void DurationCalculatorViewModel::createPlaylists()
{
    if (isBusy())
        return;
    const auto folder = validatedFolder();
    if (!folder)
        return;
    m_playlistStop = std::stop_source();
    if (!startWork([post = m_work.poster(), this, folder = folder->path,
                    extensions = extensionList(), labels = folderDurationLabels(m_report.summary),
                    run = m_playlistStop] {
            PlaylistsWritten written = writePlaylists(
                folder, extensions, labels, run.get_token(), [&](qsizetype done, qsizetype all) {
                    post([this, done, all] {
                        if (m_task != Task::writingPlaylists)
                            return;
                        updateProgress(all ? done * 100 / all : 0, {});
                        setStatus(tr("%1 di %Ln playlist", nullptr, int(all))
                                      .arg(QLocale().toString(done)),
                                  StatusKind::working);
                    });
                });
            // After a stop, what was written is said unless the window has moved on.
            post([this, run, written = std::move(written)] {
                if (run == m_playlistStop && (m_task == Task::writingPlaylists || !isBusy()))
                    showPlaylistsWritten(written);
            });
        }))
        return;
    setTask(Task::writingPlaylists);
    setStatus(tr("Creazione delle playlist in %1…").arg(pathText(folder->path)),
              StatusKind::working);
    updateProgress(0, {});
}

void DurationCalculatorViewModel::showPlaylistsWritten(const PlaylistsWritten& written)
{
    setTask(Task::none);
    updateProgress(0, {});
    const QString folder = pathText(written.folder);
    if (written.walkFailure) {
        setStatus(tr("Playlist non generate"), StatusKind::error);
        showError(tr("Impossibile generare le playlist: %1").arg(*written.walkFailure));
    } else if (written.stopped) {
        setStatus(tr("Creazione delle playlist interrotta: generate %1 di %2 in %3")
                      .arg(QLocale().toString(written.written), QLocale().toString(written.planned),
                           folder),
                  StatusKind::note);
    } else if (written.planned == 0) {
        setStatus(tr("Nessuna playlist generata"), StatusKind::note);
        showInfo(tr("Nessun video trovato: nessuna playlist generata."));
    } else if (!written.failures.isEmpty()) {
        setStatus(tr("Generate %Ln playlist in %1", nullptr, int(written.written)).arg(folder) +
                      tr("; %Ln non scritte", nullptr, int(written.failures.size())),
                  StatusKind::error);
        QStringList listed = written.failures.mid(0, failuresListed);
        if (written.failures.size() > failuresListed)
            listed.append(tr("… e altre %1").arg(written.failures.size() - failuresListed));
        showError(tr("Impossibile generare le playlist: %1").arg(listed.join(QLatin1Char('\n'))));
    } else {
        setStatus(tr("Generate %Ln playlist in %1", nullptr, int(written.written)).arg(folder));
    }
}

} // namespace quillmark
