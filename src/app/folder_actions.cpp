#include "app/folder_actions.h"

#include "app/duration_calculator_view_model.h"
#include "app/jobs.h"
#include "folder_actions/folder_renamer.h"
#include "model/app_error.h"
#include "model/path_text.h"
#include "platform/desktop_services.h"
#include "platform/folder_identity.h"
#include "platform/folder_token.h"
#include "platform/move_without_replacing.h"
#include "platform/paths.h"

#include <algorithm>

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
        return FolderActions::tr(
            "il report riguarda un'altra cartella. Premi Calcola per aggiornarlo.");
    if (identity == folderIdentity(homeFolder))
        return FolderActions::tr("è la tua cartella personale, che non viene mai rinominata.");
    if (identity == folderIdentity("/"))
        return FolderActions::tr(
            "è la cartella radice del file system, che non viene mai rinominata.");
    if (isMountPoint(folder))
        return FolderActions::tr("è il punto di montaggio di un disco o di una condivisione, che "
                                 "non viene mai rinominato.");
    return std::nullopt;
}

} // namespace

FolderActions::FolderActions(ActionHost& host, QObject* parent)
    : QObject(parent)
    , m_host(host)
{
}

void FolderActions::restore()
{
    if (const QString problems = settingsProblems(); !problems.isEmpty())
        m_host.setStatus(problems, StatusKind::note);
    look([stored = m_host.preferences().lastFolder(),
          shown = m_host.folderField().folder()] { return restoreFolder(stored).value_or(shown); },
         false);
}

void FolderActions::choose()
{
    const auto chosen = m_host.services().desktop.chooseFolder(
        FolderChooserRequest{tr("Seleziona cartella"), m_host.folderField().folder()});
    if (chosen)
        use(*chosen);
}

void FolderActions::use(const std::filesystem::path& chosen)
{
    const std::filesystem::path folder = normalizedPath(chosen);
    m_host.setFolder(folder);
    m_host.jobs().moveOn();
    // A recent folder comes first again even while it is not there (a share not mounted yet);
    // another joins them once it is seen to be there.
    const std::vector<std::filesystem::path> recent = m_host.preferences().recentFolders();
    if (std::find(recent.begin(), recent.end(), folder) != recent.end())
        m_host.preferences().rememberFolder(folder);
    m_host.detachReport();
    m_host.setHasReportFile(false);
    look([folder] { return folder; }, true);
}

void FolderActions::look(std::function<std::filesystem::path()> folderToLook, bool remember)
{
    struct Looked {
        std::filesystem::path named;
        FolderLook look;
    };
    m_host.jobs().run(Jobs::Job<Looked, bool>{
        .work =
            [folderToLook](const std::function<void(bool)>& report) {
                Looked looked;
                looked.named = folderToLook();
                looked.look = lookAtFolder(looked.named, [&report] { report(true); });
                return looked;
            },
        .progressed =
            [this](bool) { m_host.setStatus(tr("Caricamento del report…"), StatusKind::working); },
        .done = [this, remember](
                    Looked& looked) { showLook(looked.named, std::move(looked.look), remember); }});
}

// Said at start-up, and again after what loading the restored report said.
QString FolderActions::settingsProblems() const
{
    QStringList problems;
    for (const auto& problem :
         {m_host.services().settings.problem(), m_host.preferences().ffprobePathProblem()}) {
        if (problem)
            problems.append(*problem);
    }
    return problems.join(QLatin1Char(' '));
}

void FolderActions::showLook(const std::filesystem::path& named, FolderLook look, bool remember)
{
    if (look.folder != m_host.folderField().folder())
        m_host.setFolder(look.folder);
    if (remember && look.exists) {
        m_host.preferences().rememberFolder(look.folder, named);
        m_host.preferences().rememberFolderToken(look.folder, look.token);
    }
    m_host.setHasReportFile(look.hasReport);
    QStringList status;
    StatusKind kind = StatusKind::done;
    if (look.report) {
        m_host.showReport(std::move(*look.report));
        status.append(tr("Caricato: %1").arg(pathText(look.folder / "durata.txt")));
    } else if (look.reportProblem) {
        // Nothing was asked of the user yet: the status line mentions a failure, no alert.
        status.append(tr("Impossibile leggere durata.txt: %1").arg(*look.reportProblem));
        kind = StatusKind::error;
    } else if (remember && !look.exists) {
        // Named on the command line, picked from the recent ones or dropped, and not there.
        status.append(tr("La cartella %1 non esiste.").arg(pathText(look.folder)));
        kind = StatusKind::error;
    }
    if (std::exchange(m_startingUp, false)) {
        if (const QString problems = settingsProblems(); !problems.isEmpty()) {
            status.append(problems);
            kind = std::max(kind, StatusKind::note);
        }
    }
    if (!status.isEmpty())
        m_host.setStatus(status.join(QLatin1Char(' ')), kind);
}

// The checks and the move run on a worker; between them, the user confirms.
void FolderActions::rename()
{
    const LoadedReport& report = m_host.report();
    if (m_host.isBusy() || !report.durationLabel)
        return;
    const std::filesystem::path folder = m_host.folderField().folder();
    const std::string newName =
        folderNameWithDuration(folder.filename().native(), *report.durationLabel);
    m_host.jobs().run(Jobs::Job<std::optional<QString>>{
        .holds = Task::renaming,
        .work = [folder, reportFolder = report.folder, home = m_host.services().homeFolder](
                    const auto&) { return renameRefusal(folder, reportFolder, home); },
        .done =
            [this, folder, newName](std::optional<QString>& refusal) {
                if (refusal)
                    m_host.showError(tr("Impossibile rinominare la cartella: %1").arg(*refusal));
                else if (newName == folder.filename().native())
                    m_host.setStatus(tr("Il nome della cartella contiene già la durata aggiornata"),
                                     StatusKind::note);
                else
                    confirmRename(folder, newName);
            }});
}

void FolderActions::confirmRename(const std::filesystem::path& folder, const std::string& newName)
{
    const std::filesystem::path parent = folder.parent_path();
    // One plain argument each, so that a "%2" in a folder name is not taken for a placeholder.
    const bool confirmed = m_host.services().desktop.confirm(ConfirmationRequest{
        tr("Rinomina cartella"),
        tr("Rinominare la cartella «%1» in «%2»?")
                .arg(lastPathComponent(folder),
                     QString::fromUtf8(newName.data(), qsizetype(newName.size()))) +
            QLatin1Char('\n') + tr("In: %1").arg(pathText(parent)),
        tr("Rinomina"), tr("Annulla")});
    if (!confirmed) {
        m_host.setStatus(tr("Rinomina annullata"), StatusKind::note);
        return;
    }
    struct Moved {
        std::optional<QString> failure;
        QByteArray token;
        bool hasReport = false;
    };
    const std::filesystem::path destination = parent / newName;
    auto tell = [this, destination](Moved& moved) {
        if (moved.failure) {
            m_host.showError(tr("Impossibile rinominare la cartella: %1").arg(*moved.failure));
            return;
        }
        m_host.setFolder(destination);
        m_host.reportFolderRenamed(destination);
        m_host.jobs().moveOn();
        m_host.preferences().rememberFolder(destination);
        m_host.preferences().rememberFolderToken(destination, moved.token);
        m_host.setHasReportFile(moved.hasReport);
        m_host.setStatus(tr("Cartella rinominata in «%1»").arg(lastPathComponent(destination)));
    };
    m_host.jobs().run(Jobs::Job<Moved>{.holds = Task::renaming,
                                       .work =
                                           [folder, destination](const auto&) {
                                               Moved moved;
                                               try {
                                                   moveWithoutReplacing(folder, destination);
                                                   moved.token = makeFolderToken(destination);
                                                   std::error_code missing;
                                                   moved.hasReport = std::filesystem::exists(
                                                       destination / "durata.txt", missing);
                                               } catch (const std::exception& error) {
                                                   moved.failure = describeError(error);
                                               }
                                               return moved;
                                           },
                                       .done = tell,
                                       .overtaken = tell});
}

void FolderActions::open()
{
    struct Opened {
        bool exists = false;
        bool shown = false;
    };
    m_host.jobs().run(Jobs::Job<Opened>{
        .work =
            [folder = m_host.folderField().folder(),
             show = m_host.services().showInFileManager](const auto&) {
                std::error_code error;
                Opened opened;
                opened.exists = std::filesystem::exists(folder, error);
                opened.shown = opened.exists && show(folder);
                return opened;
            },
        .done =
            [this](Opened& opened) {
                if (!opened.exists)
                    m_host.showInfo(tr("Seleziona una cartella valida da aprire."));
                else if (!opened.shown)
                    m_host.showError(tr(
                        "Impossibile aprire la cartella: nessun gestore di file è disponibile."));
            }});
}

std::vector<RecentFolder> FolderActions::recent() const
{
    std::vector<RecentFolder> folders;
    for (std::filesystem::path& folder : m_host.preferences().recentFolders()) {
        const bool reachable = !m_unreachable.contains(folder);
        folders.push_back(RecentFolder{std::move(folder), reachable});
    }
    return folders;
}

void FolderActions::checkRecent()
{
    for (const std::filesystem::path& folder : m_host.preferences().recentFolders()) {
        if (m_checking.contains(folder))
            continue;
        const bool started = m_host.jobs().run(Jobs::Job<bool>{
            .work =
                [folder](const auto&) {
                    std::error_code error;
                    return std::filesystem::is_directory(folder, error);
                },
            .done =
                [this, folder](bool& reachable) {
                    m_checking.erase(folder);
                    const bool changed = reachable ? m_unreachable.erase(folder) > 0
                                                   : m_unreachable.insert(folder).second;
                    if (changed)
                        Q_EMIT recentChanged();
                },
            .overtaken = [this, folder](bool&) { m_checking.erase(folder); }});
        if (started)
            m_checking.insert(folder);
    }
}

} // namespace quillmark
