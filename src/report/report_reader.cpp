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

// An error line as the writer puts it: the keyword, then the file's absolute path, ": " and the
// message. Which ": " ends the path is known only once the file line names the file, so the line
// waits for it. A line whose path does not begin with "/" is a file's name, not an error.
struct PendingError {
    QString rest;     // after the keyword, without the final line end
    QString lastPart; // what follows the last ": " that still leaves a message
};

// Whether the line is an error line, as "^Errore con file (.+): (.+)$" would find it, found
// without backtracking: a line of many ": " costs one pass instead of one per separator.
std::optional<PendingError> errorLine(QStringView line)
{
    if (!line.startsWith(errorLineStart))
        return std::nullopt;
    const QStringView rest = withoutFinalLineEnd(line).sliced(errorLineStart.size());
    if (!rest.startsWith(QLatin1Char('/')) || std::any_of(rest.begin(), rest.end(), isLineEnd))
        return std::nullopt;
    for (qsizetype colon = rest.size() - 3; colon >= 1; --colon) {
        if (rest[colon] == QLatin1Char(':') && rest[colon + 1] == QLatin1Char(' '))
            return PendingError{rest.toString(), rest.sliced(colon + 2).toString()};
    }
    return std::nullopt;
}

// The message of the file `name` in `folder`: everything after its own path when the error line
// names exactly that file, as the writer does, so a message with ": " in it is kept whole.
QString messageOf(const PendingError& error, const QString& folder, const QString& name)
{
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    path += name;
    const qsizetype end = path.size();
    if (error.rest.size() > end + 2 && error.rest.startsWith(path) &&
        error.rest[end] == QLatin1Char(':') && error.rest[end + 1] == QLatin1Char(' '))
        return error.rest.sliced(end + 2);
    return error.lastPart;
}

class ReportReader {
public:
    void read(QStringView line)
    {
        if (!m_folder) {
            readOutsideAFolder(line);
            return;
        }
        // Inside a block the writer's own lines are told from file lines by what the file names
        // cannot hold: a header names an absolute path, a total is exactly the keyword and a
        // label. A file named "Cartella stampa.mp4" or "Totale cartella (0h05m).mp4" is a file.
        if (startsWithWhole(line, folderHeaderStart) &&
            line.sliced(folderHeaderStart.size()).startsWith(QLatin1Char('/'))) {
            openFolder(line);
            return;
        }
        if (startsWithWhole(line, folderTotalStart)) {
            const QRegularExpressionMatch total = folderTotalPattern().match(line);
            if (total.hasMatch())
                closeFolder(total.captured(1));
            else if (!addFile(line))
                dropFolder();
            return;
        }
        if (auto error = errorLine(line)) {
            m_pendingError = std::move(error);
            return;
        }
        addFile(line);
    }

    ReadReport finish()
    {
        if (m_grandTotalLabel)
            m_summary.grandTotalLabel = *m_grandTotalLabel;
        return ReadReport{std::move(m_summary), std::move(m_grandTotalLabel)};
    }

private:
    void readOutsideAFolder(QStringView line)
    {
        if (startsWithWhole(line, folderHeaderStart)) {
            openFolder(line);
            return;
        }
        const QRegularExpressionMatch total = grandTotalPattern().match(line);
        if (total.hasMatch())
            m_grandTotalLabel = total.captured(1);
    }

    void openFolder(QStringView header)
    {
        m_folder = FolderRow{header.sliced(folderHeaderStart.size()).toString(), {}, {}};
        m_pendingError.reset();
    }

    bool addFile(QStringView line)
    {
        const QRegularExpressionMatch file = fileLinePattern().match(line);
        if (!file.hasMatch())
            return false;
        FileRow row{file.captured(1), file.captured(2), std::nullopt};
        if (m_pendingError)
            row.errorMessage = messageOf(*m_pendingError, m_folder->path, row.name);
        m_folder->files.append(std::move(row));
        m_pendingError.reset();
        return true;
    }

    void closeFolder(const QString& totalLabel)
    {
        m_folder->totalLabel = totalLabel;
        m_summary.folders.append(std::move(*m_folder));
        dropFolder();
    }

    void dropFolder()
    {
        m_folder.reset();
        m_pendingError.reset();
    }

    ReportSummary m_summary;
    std::optional<FolderRow> m_folder;
    std::optional<PendingError> m_pendingError;
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
