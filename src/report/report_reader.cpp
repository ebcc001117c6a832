#include "report/report_reader.h"

#include "report/report_lines.h"
#include "report/report_patterns.h"

#include <algorithm>
#include <optional>

namespace quillmark {

namespace {

const QLatin1String folderTotalStart("Totale cartella (");
const QLatin1String errorLineStart("Errore con file ");

// The characters that end a line for the report patterns, where "." does not match.
bool isLineEnd(QChar c)
{
    const char16_t u = c.unicode();
    return u == '\n' || u == '\r' || u == 0x0B || u == 0x0C || u == 0x85 || u == 0x2028 ||
           u == 0x2029;
}

// The line without the one line end that "$" may match before.
QStringView withoutFinalLineEnd(QStringView line)
{
    if (line.endsWith(u"\r\n"))
        return line.chopped(2);
    if (!line.isEmpty() && isLineEnd(line.back()))
        return line.chopped(1);
    return line;
}

// The message of an error line: what "^Errore con file (.+): (.+)$" captures second, found
// without backtracking. The greedy path takes everything up to the last ": " that still leaves a
// message, so a line of many ": " costs one pass instead of one per separator.
std::optional<QString> errorLineMessage(QStringView line)
{
    if (!line.startsWith(errorLineStart))
        return std::nullopt;
    const QStringView rest = withoutFinalLineEnd(line).sliced(errorLineStart.size());
    if (std::any_of(rest.begin(), rest.end(), isLineEnd))
        return std::nullopt;
    for (qsizetype colon = rest.size() - 3; colon >= 1; --colon) {
        if (rest[colon] == QLatin1Char(':') && rest[colon + 1] == QLatin1Char(' '))
            return rest.sliced(colon + 2).toString();
    }
    return std::nullopt;
}

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
                m_grandTotalLabel = total.captured(1);
            return;
        }
        if (startsWithWhole(line, folderTotalStart)) {
            closeFolder(folderTotalPattern().match(line));
            return;
        }
        if (auto message = errorLineMessage(line)) {
            m_pendingError = std::move(message);
            return;
        }
        const QRegularExpressionMatch file = fileLinePattern().match(line);
        if (file.hasMatch()) {
            m_folder->files.append(
                FileRow{file.captured(1), file.captured(2), std::move(m_pendingError)});
            m_pendingError.reset();
        }
    }

    ReadReport finish()
    {
        if (m_grandTotalLabel)
            m_summary.grandTotalLabel = *m_grandTotalLabel;
        return ReadReport{std::move(m_summary), std::move(m_grandTotalLabel)};
    }

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
    std::optional<QString> m_grandTotalLabel;
};

} // namespace

ReadReport readReport(QStringView text)
{
    ReportReader reader;
    forEachReportLine(text, [&reader](QStringView line) { reader.read(line); });
    return reader.finish();
}

ReportSummary parseReport(QStringView text)
{
    return readReport(text).summary;
}

} // namespace quillmark
