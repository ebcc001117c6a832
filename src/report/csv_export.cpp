#include "report/csv_export.h"

#include <QCoreApplication>

namespace quillmark {

namespace {

constexpr qsizetype pieceBytes = 64 * 1024;

void appendField(QByteArray& line, QStringView field)
{
    const QByteArray bytes = field.toUtf8();
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

void appendLine(QByteArray& out, std::initializer_list<QStringView> fields)
{
    bool first = true;
    for (const QStringView field : fields) {
        if (!first)
            out += ',';
        appendField(out, field);
        first = false;
    }
    out += "\r\n";
}

} // namespace

bool writeCsv(const ReportSummary& summary, const std::vector<MeasuredFile>& measured,
              const std::function<bool(QByteArrayView)>& write)
{
    const bool withSeconds = measuredEveryFile(summary, measured);
    const QString notUtf8 = QCoreApplication::translate(
        "CsvExport", "percorso non valido in UTF-8: i byte non validi sono mostrati come \uFFFD");
    QStringList header;
    for (const char* column :
         {QT_TRANSLATE_NOOP("CsvExport", "Cartella"), QT_TRANSLATE_NOOP("CsvExport", "File"),
          QT_TRANSLATE_NOOP("CsvExport", "Secondi"), QT_TRANSLATE_NOOP("CsvExport", "Durata"),
          QT_TRANSLATE_NOOP("CsvExport", "Errore"), QT_TRANSLATE_NOOP("CsvExport", "Nota")})
        header.append(QCoreApplication::translate("CsvExport", column));
    QByteArray out;
    appendLine(out, {header[0], header[1], header[2], header[3], header[4], header[5]});
    for (const FolderRow& folder : summary.folders) {
        for (qsizetype i = 0; i < folder.fileCount(); ++i) {
            const FileRow file = folder.file(i);
            const MeasuredFile* known =
                withSeconds ? &measured[std::size_t(folder.firstFile() + i)] : nullptr;
            const QString seconds = known ? QString::number(known->seconds) : QString();
            appendLine(out, {folder.path, file.name, seconds, file.durationLabel,
                             file.errorMessage.value_or(QString()),
                             known && !known->validUtf8 ? QStringView(notUtf8) : QStringView()});
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
