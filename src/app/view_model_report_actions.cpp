#include "app/duration_calculator_view_model.h"
#include "model/app_error.h"
#include "model/duration_label.h"
#include "model/path_text.h"
#include "platform/atomic_file.h"
#include "platform/desktop_services.h"
#include "platform/text_file.h"
#include "report/report_reader.h"

namespace quillmark {

void DurationCalculatorViewModel::saveReport()
{
    if (m_report.text.isEmpty()) {
        showAlert(tr("Info"), tr("Non c'è nessun report da salvare. Esegui prima il calcolo."));
        return;
    }
    const auto file =
        m_services.desktop.chooseSaveFile(tr("Salva report"), QStringLiteral("durata.txt"));
    if (!file)
        return;
    try {
        writeFileAtomically(*file, m_report.text.toUtf8());
    } catch (const std::exception& error) {
        showAlert(tr("Errore"), tr("Impossibile salvare il file: %1").arg(describeError(error)));
        return;
    }
    setStatus(tr("Salvato: %1").arg(pathText(*file)));
    refreshCanLoadReport();
}

void DurationCalculatorViewModel::copyReport()
{
    if (m_report.text.isEmpty()) {
        showAlert(tr("Info"), tr("Non c'è nessun report da copiare."));
        return;
    }
    m_services.desktop.setClipboardText(m_report.text);
    setStatus(tr("Report copiato negli appunti"));
}

void DurationCalculatorViewModel::loadReport()
{
    if (const auto failure = loadReportFile())
        showAlert(tr("Errore"), tr("Impossibile leggere il report: %1").arg(*failure));
}

void DurationCalculatorViewModel::loadExistingReport()
{
    // Nothing was asked of the user yet: the status line mentions a failure, no alert.
    if (const auto failure = loadReportFile())
        setStatus(tr("Impossibile leggere durata.txt: %1").arg(*failure));
}

std::optional<QString> DurationCalculatorViewModel::loadReportFile()
{
    const std::filesystem::path file = reportFile();
    std::error_code missing;
    if (!std::filesystem::exists(file, missing))
        return std::nullopt;
    QString text;
    try {
        text = readUtf8File(file);
    } catch (const std::exception& error) {
        return describeError(error);
    }
    ReadReport read = readReport(text);
    const std::int64_t grandTotal = labelSeconds(read.summary.grandTotalLabel);
    showReport(LoadedReport{.text = text,
                            .summary = std::move(read.summary),
                            .durationLabel = std::move(read.grandTotalLabel),
                            .folder = folderIdentity(m_folder.folder()),
                            .folderSeconds = {},
                            .grandTotalSeconds = grandTotal});
    setStatus(tr("Caricato: %1").arg(pathText(file)));
    return std::nullopt;
}

void DurationCalculatorViewModel::showReport(LoadedReport report)
{
    const bool hasLabel = report.durationLabel.has_value();
    m_tree = quillmark::folderTree(report.summary, report.folderSeconds);
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
    m_tree.clear();
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
    clearReport(tr("Output pulito. Pronto per una nuova analisi.") + QLatin1Char('\n'));
    setStatus(tr("Pronto"));
    updateProgress(0, {});
}

} // namespace quillmark
