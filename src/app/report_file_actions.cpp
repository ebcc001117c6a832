#include "app/report_file_actions.h"

#include "app/duration_calculator_view_model.h"
#include "app/jobs.h"
#include "model/app_error.h"
#include "model/path_text.h"
#include "platform/atomic_file.h"
#include "platform/desktop_services.h"
#include "report/csv_export.h"

namespace quillmark {

ReportFileActions::ReportFileActions(ActionHost& host)
    : m_host(host)
{
}

std::filesystem::path ReportFileActions::reportFolder() const
{
    const LoadedReport& report = m_host.report();
    return report.folderPath.empty() ? m_host.folderField().folder() : report.folderPath;
}

// Asks where, then writes what `bytes` makes to that file on a worker, atomically; also during
// a calculation, which leaves the report shown before it alone. Writing may make or replace the
// folder's own report, which load then offers. The file was written or not whatever the window
// did meanwhile: that is always said.
void ReportFileActions::writeChosenFile(const FileToWrite& what, std::function<QByteArray()> bytes)
{
    if (m_host.jobs().task() != Task::none)
        return;
    if (m_host.report().text.isEmpty()) {
        m_host.showInfo(what.nothingToWrite);
        return;
    }
    const auto file = m_host.services().desktop.chooseSaveFile(
        what.dialogTitle, reportFolder() / what.suggestedName.toStdString());
    if (!file)
        return;
    struct Written {
        std::optional<QString> failure;
        bool hasReport = false;
    };
    auto tell = [this, what, file = *file](const Written& written) {
        if (written.failure)
            m_host.showError(what.failed.arg(*written.failure));
        else
            m_host.setStatus(what.done.arg(pathText(file)));
    };
    m_host.jobs().run(Jobs::Job<Written>{
        .holds = Task::savingReport,
        .working = what.working,
        .work =
            [bytes = std::move(bytes), file = *file,
             ownReport = m_host.folderField().folder() / "durata.txt"](const auto&) {
                Written written;
                try {
                    writeFileAtomically(file, bytes());
                } catch (const std::exception& error) {
                    written.failure = describeError(error);
                }
                std::error_code missing;
                written.hasReport = std::filesystem::exists(ownReport, missing);
                return written;
            },
        .done =
            [this, tell](Written& written) {
                m_host.setHasReportFile(written.hasReport);
                tell(written);
            },
        .overtaken = tell});
}

void ReportFileActions::save()
{
    // A selection's report is not the folder's durata.txt, which a later visit would load.
    const QString name = m_host.report().selection.empty() ? QStringLiteral("durata.txt")
                                                           : tr("durata della selezione.txt");
    writeChosenFile({tr("Non c'è nessun report da salvare. Esegui prima il calcolo."),
                     tr("Salva report"), name, tr("Salvataggio del report…"), tr("Salvato: %1"),
                     tr("Impossibile salvare il file: %1")},
                    [text = m_host.report().text] { return text.toUtf8(); });
}

// The results as a spreadsheet. From a report read back from text only the labels are known,
// and the status says so.
void ReportFileActions::exportCsv()
{
    const LoadedReport& report = m_host.report();
    const QString done =
        report.files.empty()
            ? tr("Esportato: %1 (dal report caricato: solo le etichette, senza i secondi)")
            : tr("Esportato: %1");
    writeChosenFile(
        {tr("Non c'è nessun report da esportare. Esegui prima il calcolo."), tr("Esporta CSV"),
         QStringLiteral("durata.csv"), tr("Esportazione CSV…"), done,
         tr("Impossibile esportare il file: %1")},
        [summary = report.summary, measured = report.files, folders = report.nativeFolderPaths] {
            QByteArray bytes;
            writeCsv(summary, measured, folders, [&bytes](QByteArrayView piece) {
                bytes.append(piece);
                return true;
            });
            return bytes;
        });
}

void ReportFileActions::copy()
{
    if (m_host.report().text.isEmpty()) {
        m_host.showInfo(tr("Non c'è nessun report da copiare."));
        return;
    }
    m_host.services().desktop.setClipboardText(m_host.report().text);
    m_host.setStatus(tr("Report copiato negli appunti"));
}

void ReportFileActions::load()
{
    if (m_host.jobs().task() != Task::none)
        return;
    m_host.jobs().moveOn();
    m_host.jobs().run(Jobs::Job<FolderLook>{
        .holds = Task::loadingReport,
        .working = tr("Caricamento del report…"),
        .work = [folder = m_host.folderField().folder()](
                    const auto&) { return lookAtFolder(folder, [] {}); },
        .done =
            [this](FolderLook& look) {
                m_host.setHasReportFile(look.hasReport);
                if (look.reportProblem) {
                    m_host.setStatus(tr("Report non caricato"), StatusKind::error);
                    m_host.showError(
                        tr("Impossibile leggere il report: %1").arg(*look.reportProblem));
                } else if (!look.report) {
                    m_host.setStatus(
                        tr("Nessun report da caricare in %1").arg(pathText(look.folder)),
                        StatusKind::note);
                } else {
                    m_host.showReport(std::move(*look.report));
                    m_host.setStatus(tr("Caricato: %1").arg(pathText(look.folder / "durata.txt")));
                }
            }});
}

} // namespace quillmark
