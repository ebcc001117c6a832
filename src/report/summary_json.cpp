#include "report/summary_json.h"

#include "model/duration_label.h"

namespace quillmark {

namespace {

constexpr qsizetype pieceSize = 64 * 1024;

void appendString(QByteArray& out, QStringView text)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '"':
            escaped += QLatin1String("\\\"");
            break;
        case '\\':
            escaped += QLatin1String("\\\\");
            break;
        case '\n':
            escaped += QLatin1String("\\n");
            break;
        case '\r':
            escaped += QLatin1String("\\r");
            break;
        case '\t':
            escaped += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                escaped += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                escaped += c;
        }
    }
    out += '"';
    out += escaped.toUtf8();
    out += '"';
}

} // namespace

bool writeSummaryJson(const ReportSummary& summary, const std::vector<FolderTreeRow>& tree,
                      const std::function<bool(QByteArrayView)>& write)
{
    QByteArray out;
    auto flushed = [&](qsizetype atLeast) {
        if (out.size() < atLeast)
            return true;
        const bool written = write(out);
        out.clear();
        return written;
    };
    out += "{\"grandTotalLabel\":";
    appendString(out, summary.grandTotalLabel);
    out += ",\"folders\":[";
    for (qsizetype f = 0; f < summary.folders.size(); ++f) {
        const FolderRow& folder = summary.folders[f];
        out += f ? ",{\"path\":" : "{\"path\":";
        appendString(out, folder.path);
        out += ",\"totalLabel\":";
        appendString(out, folder.totalLabel);
        out += ",\"subtreeTotalLabel\":";
        appendString(out, formatDuration(tree[std::size_t(f)].subtreeSeconds));
        out += ",\"subtreeTotalApproximate\":";
        out += tree[std::size_t(f)].approximate ? "true" : "false";
        out += ",\"files\":[";
        for (qsizetype i = 0; i < folder.fileCount(); ++i) {
            const FileRow file = folder.file(i);
            out += i ? ",{\"name\":" : "{\"name\":";
            appendString(out, file.name);
            out += ",\"durationLabel\":";
            appendString(out, file.durationLabel);
            if (file.errorMessage) {
                out += ",\"errorMessage\":";
                appendString(out, *file.errorMessage);
            }
            out += '}';
            if (!flushed(pieceSize))
                return false;
        }
        out += "]}";
    }
    out += "]}\n";
    return flushed(0);
}

} // namespace quillmark
