#include "app/playlist_job.h"

#include "app/duration_calculator_view_model.h"
#include "app/jobs.h"
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

PlaylistJob::PlaylistJob(ActionHost& host)
    : m_host(host)
{
}

PlaylistJob::~PlaylistJob()
{
    m_stop.request_stop();
}

void PlaylistJob::start(const std::filesystem::path& folder)
{
    m_stop = std::stop_source();
    using Progress = std::pair<qsizetype, qsizetype>; // done, all
    const bool started = m_host.jobs().run(Jobs::Job<PlaylistsWritten, Progress>{
        .holds = Task::writingPlaylists,
        .working = tr("Creazione delle playlist in %1…").arg(pathText(folder)),
        .work =
            [folder, extensions = m_host.extensionList(),
             labels = folderDurationLabels(m_host.report().summary),
             stop = m_stop.get_token()](const std::function<void(Progress)>& report) {
                return writePlaylists(folder, extensions, labels, stop,
                                      [&report](qsizetype done, qsizetype all) {
                                          report({done, all});
                                      });
            },
        .progressed =
            [this](const Progress& progress) {
                const auto [done, all] = progress;
                m_host.updateProgress(all ? done * 100 / all : 0);
                m_host.setStatus(
                    tr("%1 di %Ln playlist", nullptr, int(all)).arg(QLocale().toString(done)),
                    StatusKind::working);
            },
        .done = [this](PlaylistsWritten& written) { show(written); },
        // After a stop, what was written is said unless the window has moved on.
        .overtaken =
            [this](PlaylistsWritten& written) {
                if (!m_host.isBusy() && written.stopped)
                    show(written);
            }});
    if (started)
        m_host.updateProgress(0);
}

void PlaylistJob::stop()
{
    m_stop.request_stop();
    m_host.jobs().releaseTask();
    m_host.updateProgress(0);
    m_host.setStatus(tr("Creazione delle playlist interrotta"), StatusKind::note);
}

void PlaylistJob::show(const PlaylistsWritten& written)
{
    m_host.updateProgress(0);
    const QString folder = pathText(written.folder);
    if (written.walkFailure) {
        m_host.setStatus(tr("Playlist non generate"), StatusKind::error);
        m_host.showError(tr("Impossibile generare le playlist: %1").arg(*written.walkFailure));
    } else if (written.stopped) {
        m_host.setStatus(tr("Creazione delle playlist interrotta: generate %1 di %2 in %3")
                             .arg(QLocale().toString(written.written),
                                  QLocale().toString(written.planned), folder),
                         StatusKind::note);
    } else if (written.planned == 0) {
        m_host.setStatus(tr("Nessuna playlist generata"), StatusKind::note);
        m_host.showInfo(tr("Nessun video trovato: nessuna playlist generata."));
    } else if (!written.failures.isEmpty()) {
        m_host.setStatus(
            tr("Generate %Ln playlist in %1", nullptr, int(written.written)).arg(folder) +
                tr("; %Ln non scritte", nullptr, int(written.failures.size())),
            StatusKind::error);
        QStringList listed = written.failures.mid(0, failuresListed);
        if (written.failures.size() > failuresListed)
            listed.append(tr("… e altre %1").arg(written.failures.size() - failuresListed));
        m_host.showError(
            tr("Impossibile generare le playlist: %1").arg(listed.join(QLatin1Char('\n'))));
    } else {
        m_host.setStatus(
            tr("Generate %Ln playlist in %1", nullptr, int(written.written)).arg(folder));
    }
}

} // namespace quillmark
