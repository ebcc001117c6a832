#include "app/duration_calculator_view_model.h"
#include "model/app_error.h"
#include "model/path_text.h"
#include "model/plain_text.h"
#include "platform/atomic_file.h"
#include "platform/desktop_services.h"
#include "report/csv_export.h"

namespace quillmark {

// Where the report belongs: the folder it describes, else the one named.
std::filesystem::path DurationCalculatorViewModel::reportFolder() const
{
    return m_report.folderPath.empty() ? m_folder.folder() : m_report.folderPath;
}

// Asks where, then writes what `bytes` makes to that file on a worker, atomically; also during
// a calculation, which leaves the report shown before it alone. The texts say what is going on,
// what was done (%1: the file) and what went wrong (%1: why). Writing may make or replace the
// folder's own report, which load then offers.
void DurationCalculatorViewModel::writeChosenFile(const FileToWrite& what,
                                                  std::function<QByteArray()> bytes)
{
    if (m_task != Task::none)
        return;
    if (m_report.text.isEmpty()) {
        showInfo(what.nothingToWrite);
        return;
    }
    const auto file =
        m_services.desktop.chooseSaveFile(what.dialogTitle, reportFolder() / what.suggestedName);
    if (!file || !startWork([post = m_work.poster(), this, generation = m_generation, what,
                             bytes = std::move(bytes), file = *file, ownReport = reportFile(),
                             before = m_statusMessage, beforeKind = m_statusKind] {
            std::optional<QString> failure;
            try {
                writeFileAtomically(file, bytes());
            } catch (const std::exception& error) {
                failure = describeError(error);
            }
            std::error_code missing;
            const bool hasReport = std::filesystem::exists(ownReport, missing);
            post([this, generation, what, file, failure, hasReport, before, beforeKind] {
                setTask(Task::none);
                if (generation == m_generation)
                    update(m_canLoadReport, hasReport,
                           &DurationCalculatorViewModel::canLoadReportChanged);
                if (failure) {
                    setStatus(before, beforeKind);
                    showError(what.failed.arg(*failure));
                } else {
                    setStatus(what.done.arg(pathText(file)));
                }
            });
        }))
        return;
    setTask(Task::savingReport);
    setStatus(what.working, StatusKind::working);
}

void DurationCalculatorViewModel::saveReport()
{
    writeChosenFile({tr("Non c'è nessun report da salvare. Esegui prima il calcolo."),
                     tr("Salva report"), "durata.txt", tr("Salvataggio del report…"),
                     tr("Salvato: %1"), tr("Impossibile salvare il file: %1")},
                    [text = m_report.text] { return text.toUtf8(); });
}

// The results as a spreadsheet. From a report read back from text only the labels are known,
// and the status says so.
void DurationCalculatorViewModel::exportCsv()
{
    const QString done =
        !hasMeasuredSeconds()
            ? tr("Esportato: %1 (dal report caricato: solo le etichette, senza i secondi)")
            : tr("Esportato: %1");
    writeChosenFile({tr("Non c'è nessun report da esportare. Esegui prima il calcolo."),
                     tr("Esporta CSV"), "durata.csv", tr("Esportazione CSV…"), done,
                     tr("Impossibile esportare il file: %1")},
                    [summary = m_report.summary, measured = m_report.files] {
                        QByteArray bytes;
                        writeCsv(summary, measured, [&bytes](QByteArrayView piece) {
                            bytes.append(piece);
                            return true;
                        });
                        return bytes;
                    });
}

void DurationCalculatorViewModel::copyReport()
{
    if (m_report.text.isEmpty()) {
        showInfo(tr("Non c'è nessun report da copiare."));
        return;
    }
    m_services.desktop.setClipboardText(m_report.text);
    setStatus(tr("Report copiato negli appunti"));
}

void DurationCalculatorViewModel::loadReport()
{
    if (m_task != Task::none)
        return;
    moveOn();
    if (!startWork(
            [post = m_work.poster(), this, generation = m_generation, folder = m_folder.folder()] {
                FolderLook look = quillmark::lookAtFolder(folder, [&] {
                    post([this] { setStatus(tr("Caricamento del report…"), StatusKind::working); });
                });
                post([this, generation, look = std::move(look)]() mutable {
                    setTask(Task::none);
                    if (look.reportProblem)
                        showError(tr("Impossibile leggere il report: %1").arg(*look.reportProblem));
                    if (!look.report || generation != m_generation)
                        return;
                    showReport(std::move(*look.report));
                    setStatus(tr("Caricato: %1").arg(pathText(look.folder / "durata.txt")));
                });
            }))
        return;
    setTask(Task::loadingReport);
}

QString DurationCalculatorViewModel::noVideosMessage() const
{
    if (m_report.searchedExtensions.isEmpty() || m_report.summary.totalFileCount() > 0)
        return {};
    constexpr qsizetype listed = 4;
    QStringList extensions = m_report.searchedExtensions.mid(0, listed);
    if (m_report.searchedExtensions.size() > listed)
        extensions.append(QStringLiteral("…"));
    return tr("Nessun video %1 in «%2»")
        .arg(extensions.join(QStringLiteral(", ")), lastPathComponent(m_report.folderPath));
}

QString DurationCalculatorViewModel::staleReportMessage() const
{
    if (m_report.text.isEmpty() || m_report.folderPath.empty() || isBlank(m_folder.text()) ||
        m_folder.folder() == m_report.folderPath)
        return {};
    return tr("Il report riguarda «%1»: premi Calcola per misurare «%2».")
        .arg(lastPathComponent(m_report.folderPath), lastPathComponent(m_folder.folder()));
}

void DurationCalculatorViewModel::showReport(LoadedReport report)
{
    const bool hasLabel = report.durationLabel.has_value();
    m_report = std::move(report);
    update(m_reportText, m_report.text + QLatin1Char('\n'),
           &DurationCalculatorViewModel::reportTextChanged);
    // Always announced: comparing a hundred thousand rows would cost more than redrawing them.
    Q_EMIT reportSummaryChanged();
    update(m_canSave, true, &DurationCalculatorViewModel::canSaveChanged);
    update(m_canCopy, true, &DurationCalculatorViewModel::canCopyChanged);
    update(m_canRenameFolder, hasLabel, &DurationCalculatorViewModel::canRenameFolderChanged);
    update(m_canCreatePlaylists, true, &DurationCalculatorViewModel::canCreatePlaylistsChanged);
}

void DurationCalculatorViewModel::clearReport(const QString& output)
{
    m_report = LoadedReport{};
    update(m_reportText, output, &DurationCalculatorViewModel::reportTextChanged);
    Q_EMIT reportSummaryChanged();
    update(m_canSave, false, &DurationCalculatorViewModel::canSaveChanged);
    update(m_canCopy, false, &DurationCalculatorViewModel::canCopyChanged);
    update(m_canRenameFolder, false, &DurationCalculatorViewModel::canRenameFolderChanged);
    update(m_canCreatePlaylists, false, &DurationCalculatorViewModel::canCreatePlaylistsChanged);
}

void DurationCalculatorViewModel::detachReport()
{
    m_report.durationLabel.reset();
    update(m_canRenameFolder, false, &DurationCalculatorViewModel::canRenameFolderChanged);
    update(m_canCreatePlaylists, false, &DurationCalculatorViewModel::canCreatePlaylistsChanged);
}

void DurationCalculatorViewModel::clearOutput()
{
    moveOn();
    clearReport(tr("Output pulito. Pronto per una nuova analisi.") + QLatin1Char('\n'));
    setStatus(tr("Pronto"));
    updateProgress(0, {});
}

} // namespace quillmark
