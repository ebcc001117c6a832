#include "report/report_reader.h"

#include "report/report_lines.h"
#include "report/report_patterns.h"

#include <optional>

namespace quillmark {

namespace {

const QLatin1String folderTotalStart("Totale cartella (");
// The error pattern can only match lines that begin with this; checking it first spares a
// regular-expression match on every file line.
const QLatin1String errorLineStart("Errore con file ");

class ReportReader {
public:
    void read(QStringView line)
    {
        if (startsWithWhole(line, folderHeaderStart)) {
            m_folder = FolderRow{line.sliced(folderHeaderStart.size()).toString(), {}, {}};
            m_pendingError.reset();
            return;
        }
        if (!m_folder) {
            const QRegularExpressionMatch total = grandTotalPattern().match(line);
            if (total.hasMatch())
                m_summary.grandTotalLabel = total.captured(1);
            return;
        }
        if (startsWithWhole(line, folderTotalStart)) {
            closeFolder(folderTotalPattern().match(line));
            return;
        }
        if (line.startsWith(errorLineStart)) {
            const QRegularExpressionMatch error = errorLinePattern().match(line);
            if (error.hasMatch()) {
                m_pendingError = error.captured(2);
                return;
            }
        }
        const QRegularExpressionMatch file = fileLinePattern().match(line);
        if (file.hasMatch()) {
            m_folder->files.append(
                FileRow{file.captured(1), file.captured(2), std::move(m_pendingError)});
            m_pendingError.reset();
        }
    }

    ReportSummary finish() { return std::move(m_summary); }

private:
    void closeFolder(const QRegularExpressionMatch& total)
    {
        if (total.hasMatch()) {
            m_folder->totalLabel = total.captured(1);
            m_summary.folders.append(std::move(*m_folder));
        }
        m_folder.reset();
        m_pendingError.reset();
    }

    ReportSummary m_summary;
    std::optional<FolderRow> m_folder;
    std::optional<QString> m_pendingError;
};

} // namespace

ReportSummary parseReport(QStringView text)
{
    ReportReader reader;
    forEachReportLine(text, [&reader](QStringView line) { reader.read(line); });
    return reader.finish();
}

} // namespace quillmark
