// libFuzzer target for everything that reads report text a crafted "durata.txt" can reach: the
// report reader and the folder labels the playlists take. Any crash, sanitizer report or broken
// invariant stops the run. Built and run by "make fuzz".
#include "report/folder_labels.h"
#include "report/report_reader.h"
#include "report/report_writer.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

bool isLabel(const QString& text)
{
    static const QRegularExpression label(QStringLiteral("^[0-9]+h[0-9]{2}m$"));
    return label.match(text).hasMatch();
}

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// Every label the reader keeps has the label form, and every folder it keeps also has a label
// for its playlist: the two readers of the same text agree on what a folder block is.
void checkReading(const QString& text)
{
    const quillmark::ReadReport read = quillmark::readReport(text);
    const quillmark::FolderDurationLabels labels = quillmark::folderDurationLabels(text);
    require(isLabel(read.summary.grandTotalLabel));
    require(!read.grandTotalLabel || isLabel(*read.grandTotalLabel));
    for (const quillmark::FolderRow& folder : read.summary.folders) {
        require(isLabel(folder.totalLabel));
        require(labels.contains(folder.path));
        for (const quillmark::FileRow& file : folder.files)
            require(isLabel(file.durationLabel));
    }
}

bool endsLinesForThePatterns(QChar c)
{
    return c == QChar(0x0B) || c == QChar(0x0C) || c == QChar(0x85) || c == QChar(0x2028) ||
           c == QChar(0x2029);
}

// The input as one folder with one file, its name and error message taken from the bytes: the
// written report reads back as exactly that folder and that file, whatever line breaks they hold.
void checkRoundTrip(const QString& text)
{
    const qsizetype half = text.size() / 2;
    const QString name = text.left(half);
    const QString message = text.mid(half);
    // A file line that begins like a header, a folder total or an error line is read as one: the
    // format says so, and only a loaded report is read back from text.
    const QString line = quillmark::oneLine(name) + QStringLiteral(" (0h01m)");
    for (const char* start : {"Cartella ", "Totale cartella (", "Errore con file "}) {
        if (line.startsWith(QLatin1String(start)))
            return;
    }
    if (name.isEmpty() || std::any_of(text.begin(), text.end(), endsLinesForThePatterns))
        return;
    const QList<quillmark::FolderReport> folders{quillmark::FolderReport{
        QStringLiteral("/v"),
        {quillmark::FileEntry{name, QStringLiteral("/v/") + name, 61, message}},
        61}};
    const quillmark::ReadReport read = quillmark::readReport(quillmark::reportText(folders, 61));
    require(read.grandTotalLabel == QStringLiteral("0h01m"));
    require(read.summary.folders.size() == 1);
    require(read.summary.folders.front().files.size() == 1);
    require(read.summary.folders.front().files.front().name == quillmark::oneLine(name));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    checkReading(text);
    checkRoundTrip(text);
    return 0;
}
