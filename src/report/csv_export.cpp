#include "report/csv_export.h"

#include <QCoreApplication>

namespace quillmark {

namespace {

constexpr qsizetype pieceBytes = 64 * 1024;

// A text a spreadsheet would take for a formula ("=HYPERLINK(…)", "+1", "@SUM") stays text: a
// leading apostrophe, as OWASP's advice on CSV injection has it. Names come from anyone's disk
// and reports from anyone's hands.
bool opensAFormula(QStringView field)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    return !field.isEmpty() && formulaStarts.contains(field.front());
}

void appendField(QByteArray& line, QStringView field, bool text = true)
{
    const QByteArray bytes =
        text && opensAFormula(field) ? QByteArray("'") + field.toUtf8() : field.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\n') &&
        !bytes.contains('\r')) {
        line += bytes;
        return;
    }
    line += '"';
    for (const char byte : bytes) {
        if (byte == '"')
            line += '"';
        line += byte;
    }
    line += '"';
}

// Every column is text but the seconds, the third.
void appendLine(QByteArray& out, std::initializer_list<QStringView> fields)
{
    int column = 0;
    for (const QStringView field : fields) {
        if (column > 0)
            out += ',';
        appendField(out, field, column != 2);
        ++column;
    }
    out += "\r\n";
}

// The name as the file system has it, when the calculation knew it and it is UTF-8 (a line break
// in it is quoted like any other); else as the report shows it.
QString realText(const QByteArray& native, const QString& shown)
{
    if (native.isEmpty())
        return shown;
    const QString text = QString::fromUtf8(native);
    return text.toUtf8() == native ? text : shown;
}

// A report read back shows a line break in a name as a symbol, which the spreadsheet cannot
// undo: the note says so.
bool showsLineBreaks(QStringView text)
{
    return text.contains(QChar(0x2424)) || text.contains(QChar(0x240D)) ||
           text.contains(QChar(0x240B)) || text.contains(QChar(0x240C));
}

} // namespace

bool writeCsv(const ReportSummary& summary, const std::vector<MeasuredFile>& measured,
              const std::vector<QByteArray>& nativeFolderPaths,
              const std::function<bool(QByteArrayView)>& write)
{
    const bool withSeconds = measuredEveryFile(summary, measured);
    const QString notUtf8 = QCoreApplication::translate(
        "CsvExport", "percorso non valido in UTF-8: i byte non validi sono mostrati come \uFFFD");
    const QString lineBreaks = QCoreApplication::translate(
        "CsvExport", "il report mostra un a capo nel percorso come \u2424 o \u240D");
    QStringList header;
    for (const char* column :
         {QT_TRANSLATE_NOOP("CsvExport", "Cartella"), QT_TRANSLATE_NOOP("CsvExport", "File"),
          QT_TRANSLATE_NOOP("CsvExport", "Secondi"), QT_TRANSLATE_NOOP("CsvExport", "Durata"),
          QT_TRANSLATE_NOOP("CsvExport", "Errore"), QT_TRANSLATE_NOOP("CsvExport", "Nota")})
        header.append(QCoreApplication::translate("CsvExport", column));
    QByteArray out;
    appendLine(out, {header[0], header[1], header[2], header[3], header[4], header[5]});
    for (qsizetype row = 0; row < summary.folders.size(); ++row) {
        const FolderRow& folder = summary.folders[row];
        const QString path = realText(std::size_t(row) < nativeFolderPaths.size()
                                          ? nativeFolderPaths[std::size_t(row)]
                                          : QByteArray(),
                                      folder.path);
        for (qsizetype i = 0; i < folder.fileCount(); ++i) {
            const FileRow file = folder.file(i);
            const MeasuredFile* known =
                withSeconds ? &measured[std::size_t(folder.firstFile() + i)] : nullptr;
            const QString seconds = known ? QString::number(known->seconds) : QString();
            const QString name = known ? realText(known->nativeName, file.name) : file.name;
            const QStringView note = known && !known->validUtf8 ? QStringView(notUtf8)
                                     : !known && (showsLineBreaks(path) || showsLineBreaks(name))
                                         ? QStringView(lineBreaks)
                                         : QStringView();
            appendLine(out, {path, name, seconds, file.durationLabel,
                             file.errorMessage.value_or(QString()), note});
            if (out.size() >= pieceBytes) {
                if (!write(out))
                    return false;
                out.clear();
            }
        }
    }
    return write(out);
}

} // namespace quillmark
