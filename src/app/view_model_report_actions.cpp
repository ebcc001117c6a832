#include "app/duration_calculator_view_model.h"
#include "model/app_error.h"
#include "model/path_text.h"
#include "platform/atomic_file.h"
#include "platform/desktop_services.h"
#include "platform/text_file.h"
#include "report/report_reader.h"

namespace quillmark {

void DurationCalculatorViewModel::saveReport()
{
    if (m_currentReport.isEmpty()) {
        showAlert(tr("Info"), tr("Non c'è nessun report da salvare. Esegui prima il calcolo."));
        return;
    }
    const auto file =
        m_services.desktop->chooseSaveFile(tr("Salva report"), QStringLiteral("durata.txt"));
    if (!file)
        return;
    try {
        writeFileAtomically(*file, m_currentReport.toUtf8());
    } catch (const std::exception& error) {
        showAlert(tr("Errore"), tr("Impossibile salvare il file: %1").arg(describeError(error)));
        return;
    }
    setStatus(tr("Salvato: %1").arg(pathText(*file)));
    refreshCanLoadReport();
}

void DurationCalculatorViewModel::copyReport()
{
    if (m_currentReport.isEmpty()) {
        showAlert(tr("Info"), tr("Non c'è nessun report da copiare."));
        return;
    }
    m_services.desktop->setClipboardText(m_currentReport);
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
    const std::filesystem::path file = reportFileURL();
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
    showReport(text, read.summary, read.grandTotalLabel, folderIdentity(folderURL()));
    setStatus(tr("Caricato: %1").arg(pathText(file)));
    return std::nullopt;
}

void DurationCalculatorViewModel::showReport(const QString& text, const ReportSummary& summary,
                                             const std::optional<QString>& label,
                                             const std::optional<FolderIdentity>& folder)
{
    m_currentReport = text;
    m_currentDurationLabel = label;
    m_reportFolder = folder;
    setReportText(text + QLatin1Char('\n'));
    setReportSummary(summary);
    setCanSave(true);
    setCanCopy(true);
    setCanRenameFolder(label.has_value());
    setCanCreatePlaylists(true);
}

void DurationCalculatorViewModel::clearOutput()
{
    m_currentReport.clear();
    m_currentDurationLabel.reset();
    m_reportFolder.reset();
    setReportText(tr("Output pulito. Pronto per una nuova analisi.") + QLatin1Char('\n'));
    setReportSummary(ReportSummary::empty());
    setCanSave(false);
    setCanCopy(false);
    setCanRenameFolder(false);
    setCanCreatePlaylists(false);
    setStatus(tr("Pronto"));
    updateProgress(0, {});
}

} // namespace quillmark
