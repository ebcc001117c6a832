// Reads a generated report of 1,000,000 lines and prints the time and the memory the result
// holds, against the size of the text.
#include "model/duration_label.h"
#include "report/csv_export.h"
#include "report/folder_tree.h"
#include "report/report_format.h"
#include "report/report_reader.h"
#include "report/report_writer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <vector>

namespace {

QString generateReport(qsizetype targetLines)
{
    QList<quillmark::FolderReport> folders;
    qsizetype lines = 2;
    std::int64_t grandTotal = 0;
    for (int f = 0; lines < targetLines; ++f) {
        quillmark::FolderReport folder{
            QStringLiteral("/media/archivio/Serie %1/Stagione %2").arg(f / 10).arg(f % 10 + 1),
            {},
            0};
        lines += 3;
        for (int n = 0; n < 45 && lines < targetLines; ++n) {
            const QString name = QStringLiteral("Episodio %1 - La città.mp4").arg(n + 1);
            std::optional<QString> error;
            if (n % 10 == 9) {
                error = QStringLiteral("Formato non supportato da AVFoundation: ") + name;
                ++lines;
            }
            const std::int64_t seconds = error ? 0 : 1200 + (f * 37 + n * 101) % 2400;
            folder.files.append({name, folder.path + QLatin1Char('/') + name, seconds, error});
            folder.totalSeconds += seconds;
            ++lines;
        }
        grandTotal += folder.totalSeconds;
        folders.append(std::move(folder));
    }
    return quillmark::reportText(folders, grandTotal);
}

// Texts of about 600 KB made to make a backtracking reader slow, each against an ordinary
// report of the same size.
void craftedInputs()
{
    const QString ordinary = generateReport(14'000).left(600'000);
    const QString colons = QStringLiteral(": ").repeated(300'000);
    const std::vector<std::pair<const char*, QString>> crafted{
        {"error line of 300,000 \": \", then CR",
         QStringLiteral("Cartella /x\nErrore con file ") + colons + QStringLiteral("\r")},
        {"30 such lines of 10,000, joined by CR LF",
         QStringLiteral("Cartella /x\n") +
             (QStringLiteral("Errore con file ") + colons.left(20'000) + QStringLiteral("\r\n"))
                 .repeated(30)},
        {"file line of 200,000 \" (1\"", QStringLiteral("Cartella /x\n") +
                                             QStringLiteral(" (1").repeated(200'000) +
                                             QStringLiteral("\u2028\n")},
        {"grand total of 600,000 digits", QStringLiteral("Gran totale (") +
                                              QStringLiteral("1").repeated(600'000) +
                                              QStringLiteral("\n")},
        {"100,000 short error lines",
         QStringLiteral("Cartella /x\n") +
             QStringLiteral("Errore con file a: : \r\u0085\n").repeated(30'000)},
    };
    auto millisecondsToRead = [](const QString& text) {
        QElapsedTimer timer;
        timer.start();
        quillmark::parseReport(text);
        return double(timer.nsecsElapsed()) / 1e6;
    };
    const double baseline = millisecondsToRead(ordinary);
    std::printf("ordinary report of 600 KB %8.1f ms   (baseline)\n", baseline);
    for (const auto& [name, text] : crafted) {
        const double ms = millisecondsToRead(text);
        std::printf("crafted: %-38s %6.1f ms = %5.1fx the baseline (target < 50 ms)\n", name, ms,
                    ms / baseline);
    }
}

// A report whose one folder lies 8,000 levels deep (16 KB), read as the window reads a durata.txt
// (the rows, the folder tree and its orders) against a report of the same size whose folders
// lie one level deep.
void deepFolders()
{
    const QString row = QStringLiteral("\nx.mp4 (0h01m)\nTotale cartella (0h01m)\n\n");
    const QString deep = QStringLiteral("Cartella ") + QStringLiteral("/a").repeated(8000) + row +
                         QStringLiteral("Gran totale (0h01m)\n");
    QString shallow;
    for (int folder = 0; shallow.size() < deep.size(); ++folder)
        shallow += QStringLiteral("Cartella /v/%1").arg(folder) + row;
    shallow += QStringLiteral("Gran totale (0h01m)\n");
    auto millisecondsToShow = [](const QString& text) {
        std::vector<double> times;
        for (int round = 0; round < 5; ++round) {
            QElapsedTimer timer;
            timer.start();
            const quillmark::ReadReport read = quillmark::readReport(text);
            const auto tree = quillmark::folderTree(read);
            quillmark::treeOrder(tree, false);
            quillmark::treeOrder(tree, true);
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    const double shallowMs = millisecondsToShow(shallow);
    const double deepMs = millisecondsToShow(deep);
    std::printf("report of %lld KB, folders 1 deep     %8.2f ms   (baseline)\n",
                (long long)shallow.toUtf8().size() / 1024, shallowMs);
    std::printf("report of %lld KB, a folder 8,000 deep %7.2f ms = %5.1fx the baseline (target < "
                "50 ms)\n",
                (long long)deep.toUtf8().size() / 1024, deepMs, deepMs / shallowMs);
}

// The spreadsheet of a 20,000-file run, written to a file and read back by Python's csv module
// (as a spreadsheet would: the same number of lines and columns, and the seconds add up).
void csvExport()
{
    const QString text = generateReport(23'200);
    const quillmark::ReportSummary summary = quillmark::parseReport(text);
    std::vector<quillmark::MeasuredFile> measured;
    for (const quillmark::FolderRow& folder : summary.folders) {
        for (qsizetype file = 0; file < folder.fileCount(); ++file)
            measured.push_back({quillmark::labelSeconds(folder.fileLabel(file).toString())});
    }
    const QString path = QDir::temp().filePath(QStringLiteral("quillmark-bench.csv"));
    std::vector<double> times;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        QSaveFile file(path);
        file.open(QIODevice::WriteOnly);
        quillmark::writeCsv(summary, measured, {}, [&file](QByteArrayView piece) {
            return file.write(piece.data(), piece.size()) == piece.size();
        });
        file.commit();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::int64_t seconds = 0;
    for (const quillmark::MeasuredFile& file : measured)
        seconds += file.seconds;
    std::printf("CSV of %zu files           %8.1f ms   (target < 100 ms)\n", measured.size(),
                times[1]);
    const std::string check =
        "python3 -c \"import csv,sys; rows=list(csv.reader(open(sys.argv[1], newline='', "
        "encoding='utf-8'))); print('  read back by Python csv:', len(rows) - 1, 'lines,', "
        "set(map(len, rows)), 'columns, seconds', sum(float(r[2]) for r in rows[1:]))\" " +
        path.toStdString();
    std::fflush(stdout);
    if (std::system(check.c_str()) != 0)
        std::printf("  Python could not read it back\n");
    std::printf("  seconds measured          %lld\n", (long long)seconds);
    QFile::remove(path);
}

std::size_t heapInUse()
{
    return mallinfo2().uordblks;
}

// The worst case for memory per byte of text: a million file lines of ten bytes, where a row
// held as strings once took 27 times the text.
void shortLines()
{
    const QString text = QStringLiteral("Cartella /v\n") +
                         QStringLiteral("a (0h01m)\n").repeated(1'000'000) +
                         QStringLiteral("Totale cartella (0h01m)\n\nGran totale (0h01m)\n");
    const std::size_t before = heapInUse();
    const quillmark::ReportSummary summary = quillmark::parseReport(text);
    const double held = double(heapInUse() - before);
    std::printf("1,000,000 short file lines: memory held %6.1f MiB = %.2fx the text (target < "
                "10x)\n",
                held / (1 << 20), held / double(text.toUtf8().size()));
}

} // namespace

int main()
{
    const QString text = generateReport(1'000'000);
    const qsizetype lineCount = text.count(QLatin1Char('\n'));
    const qsizetype utf8Bytes = text.toUtf8().size();

    std::vector<double> times;
    std::size_t held = 0;
    qsizetype rows = 0;
    for (int round = 0; round < 3; ++round) {
        const std::size_t before = heapInUse();
        QElapsedTimer timer;
        timer.start();
        const quillmark::ReportSummary summary = quillmark::parseReport(text);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        held = heapInUse() - before;
        rows = summary.totalFileCount();
    }
    std::sort(times.begin(), times.end());

    std::printf("report: %lld lines, %lld file rows, %.1f MiB as UTF-8\n", (long long)lineCount,
                (long long)rows, double(utf8Bytes) / (1 << 20));
    std::printf("parseReport               %8.1f ms   (target < 1000 ms)\n", times[1]);
    std::printf("memory held by the result %8.1f MiB  = %.2fx the text (target < 10x)\n",
                double(held) / (1 << 20), double(held) / double(utf8Bytes));
    shortLines();
    craftedInputs();
    deepFolders();
    csvExport();
    return 0;
}
