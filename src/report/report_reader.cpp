#include "report/report_reader.h"

#include "report/report_format.h"

#include <algorithm>
#include <optional>

namespace quillmark {

namespace {

const QString folderHeaderStart = folderHeaderKeyword;
// A line that begins so closes a folder block, or is a file named so.
const QString folderTotalStart = folderTotalKeyword + QLatin1String(" (");

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
    TextSpan rest;     // after the keyword, without the final line end
    TextSpan lastPart; // what follows the last ": " that still leaves a message
};

class ReportReader {
public:
    // One file per line at most: the places of the files are set aside once, never grown.
    explicit ReportReader(const QString& text)
        : m_text(text)
        , m_texts(std::make_shared<RowTexts>(text, text.count(QLatin1Char('\n')) + 1))
    {
    }

    void read(QStringView line)
    {
        if (m_pendingTotal)
            settlePendingTotal(endsABlock(line));
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
            // A file named exactly "Totale cartella" has a line just like the total's: the total
            // is the one the block ends with, which the next line tells.
            if (folderTotalPattern().match(line).hasMatch())
                m_pendingTotal = line;
            else if (!addFile(line))
                dropFolder();
            return;
        }
        if (auto error = errorLine(line)) {
            m_pendingError = *error;
            return;
        }
        addFile(line);
    }

    ReadReport finish()
    {
        if (m_pendingTotal)
            settlePendingTotal(true);
        if (m_grandTotalLabel)
            m_summary.grandTotalLabel = *m_grandTotalLabel;
        return ReadReport{std::move(m_summary), std::move(m_grandTotalLabel)};
    }

private:
    qsizetype startOf(QStringView piece) const { return piece.data() - m_text.constData(); }

    // Whether the line is an error line, as "^Errore con file (.+): (.+)$" would find it, found
    // without backtracking: a line of many ": " costs one pass instead of one per separator.
    std::optional<PendingError> errorLine(QStringView line) const
    {
        if (!line.startsWith(errorLineKeyword))
            return std::nullopt;
        const QStringView rest = withoutFinalLineEnd(line).sliced(errorLineKeyword.size());
        if (!rest.startsWith(QLatin1Char('/')) || std::any_of(rest.begin(), rest.end(), isLineEnd))
            return std::nullopt;
        for (qsizetype colon = rest.size() - 3; colon >= 1; --colon) {
            if (rest[colon] == QLatin1Char(':') && rest[colon + 1] == QLatin1Char(' '))
                return PendingError{TextSpan{startOf(rest), rest.size()},
                                    TextSpan{startOf(rest) + colon + 2, rest.size() - colon - 2}};
        }
        return std::nullopt;
    }

    // The message of the file `name` in the open folder: everything after its own path when the
    // error line names exactly that file, as the writer does, so a message with ": " in it is
    // kept whole; otherwise what follows the last ": ".
    TextSpan messageOf(const PendingError& error, QStringView name) const
    {
        const QStringView rest = QStringView(m_text).sliced(error.rest.start, error.rest.length);
        const QString& folder = m_folder->path;
        const qsizetype separator = folder.endsWith(QLatin1Char('/')) ? 0 : 1;
        const qsizetype end = folder.size() + separator + name.size();
        if (rest.size() > end + 2 && rest.startsWith(folder) &&
            (separator == 0 || rest[folder.size()] == QLatin1Char('/')) &&
            rest.sliced(folder.size() + separator, name.size()) == name &&
            rest[end] == QLatin1Char(':') && rest[end + 1] == QLatin1Char(' '))
            return TextSpan{error.rest.start + end + 2, rest.size() - end - 2};
        return error.lastPart;
    }

    // What follows a block's total: the blank line the writer puts there, or, in a report
    // edited by hand, the next header or the grand total line itself; anything else follows a
    // file's line.
    static bool endsABlock(QStringView line)
    {
        const QStringView bare = withoutFinalLineEnd(line);
        const QRegularExpressionMatch total = grandTotalPattern().match(bare);
        return bare.trimmed().isEmpty() ||
               (startsWithWhole(line, folderHeaderStart) &&
                line.sliced(folderHeaderStart.size()).startsWith(QLatin1Char('/'))) ||
               (total.hasMatch() && total.capturedStart() == 0 &&
                total.capturedEnd() == bare.size());
    }

    void settlePendingTotal(bool endsTheBlock)
    {
        const QStringView line = *m_pendingTotal;
        m_pendingTotal.reset();
        if (endsTheBlock)
            closeFolder(folderTotalPattern().match(line).captured(1));
        else
            addFile(line);
    }

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
        m_folder.emplace(header.sliced(folderHeaderStart.size()).toString(), m_texts);
        m_pendingError.reset();
    }

    bool addFile(QStringView line)
    {
        const QRegularExpressionMatch file = fileLinePattern().match(line);
        if (!file.hasMatch())
            return false;
        const TextSpan name{startOf(line) + file.capturedStart(1), file.capturedLength(1)};
        std::optional<TextSpan> error;
        if (m_pendingError)
            error = messageOf(*m_pendingError, file.capturedView(1));
        m_texts->addFile(name, file.capturedLength(2), error);
        m_pendingError.reset();
        return true;
    }

    void closeFolder(const QString& totalLabel)
    {
        m_folder->totalLabel = totalLabel;
        m_folder->close();
        m_summary.folders.append(std::move(*m_folder));
        dropFolder();
    }

    void dropFolder()
    {
        m_folder.reset();
        m_pendingError.reset();
    }

    const QString& m_text;
    // Files of a folder that is dropped stay here unseen: a crafted text can waste what its own
    // lines would cost, no more.
    std::shared_ptr<RowTexts> m_texts;
    ReportSummary m_summary;
    std::optional<FolderRow> m_folder;
    std::optional<PendingError> m_pendingError;
    std::optional<QStringView> m_pendingTotal; // a total-like line, until the next line says
    std::optional<QString> m_grandTotalLabel;
};

} // namespace

ReadReport readReport(const QString& text)
{
    ReportReader reader(text);
    forEachReportLine(text, [&reader](QStringView line) { reader.read(line); });
    return reader.finish();
}

ReportSummary parseReport(const QString& text)
{
    return readReport(text).summary;
}

} // namespace quillmark
