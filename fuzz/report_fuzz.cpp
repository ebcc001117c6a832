// libFuzzer target for everything that reads report text a crafted "durata.txt" can reach: the
// report reader, whose rows also name the playlists, and the folder tree the window and the JSON
// make of the rows, in both orders. Any crash, sanitizer report, broken invariant or run of
// libFuzzer's time limit (a tree must take time in proportion to its text) stops the run. Built
// and run by "make fuzz".
#include "report/folder_tree.h"
#include "report/report_format.h"
#include "report/report_reader.h"
#include "report/report_writer.h"

#include <QRegularExpression>

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

// Every label the reader keeps has the label form.
void checkReading(const QString& text)
{
    const quillmark::ReadReport read = quillmark::readReport(text);
    require(isLabel(read.summary.grandTotalLabel));
    require(!read.grandTotalLabel || isLabel(*read.grandTotalLabel));
    for (const quillmark::FolderRow& folder : read.summary.folders) {
        require(isLabel(folder.totalLabel));
        for (qsizetype file = 0; file < folder.fileCount(); ++file)
            require(isLabel(folder.file(file).durationLabel));
    }
}

// Every entry of the tree stands one level below the one above it, so no entry is its own
// ancestor; each order lists every entry once, each after the one above it.
void checkTree(const QString& text)
{
    const quillmark::ReadReport read = quillmark::readReport(text);
    const std::vector<quillmark::FolderTreeRow> tree = quillmark::folderTree(read);
    require(tree.size() >= std::size_t(read.summary.folders.size()));
    for (const quillmark::FolderTreeRow& node : tree) {
        require(node.parent < int(tree.size()));
        require(node.depth == (node.parent < 0 ? 0 : tree[std::size_t(node.parent)].depth + 1));
        require(node.subtreeSeconds >= 0);
        require(node.pathLength <= read.summary.folders[node.pathRow].path.size());
    }
    for (const bool longestFirst : {false, true}) {
        const std::vector<int> order = quillmark::treeOrder(tree, longestFirst);
        require(order.size() == tree.size());
        std::vector<int> place(tree.size(), -1);
        for (std::size_t at = 0; at < order.size(); ++at) {
            require(place[std::size_t(order[at])] < 0);
            place[std::size_t(order[at])] = int(at);
            const int parent = tree[std::size_t(order[at])].parent;
            require(parent < 0 || place[std::size_t(parent)] >= 0);
        }
    }
}

// The input as one folder with one failed file, its name and error message taken from the text:
// the written report reads back as exactly that file, whatever the name holds (a walk never gives
// a name with "/" in it, nor an empty one).
void checkRoundTrip(const QString& text)
{
    qsizetype half = text.size() / 2;
    if (half > 0 && text[half - 1].isHighSurrogate())
        --half; // a cut inside a character would make a string that cannot be written
    const QString name = text.left(half);
    const QString message = text.mid(half);
    if (name.isEmpty() || message.isEmpty() || name.contains(QLatin1Char('/')))
        return;
    const QList<quillmark::FolderReport> folders{quillmark::FolderReport{
        QStringLiteral("/v"),
        {quillmark::FileEntry{name, QStringLiteral("/v/") + name, 61, message}},
        61}};
    const quillmark::ReadReport read = quillmark::readReport(quillmark::reportText(folders, 61));
    require(read.grandTotalLabel == QStringLiteral("0h01m"));
    require(read.summary.folders.size() == 1 && read.summary.folders[0].fileCount() == 1);
    require(read.summary.folders[0].file(0) == quillmark::FileRow{quillmark::oneLine(name),
                                                                  QStringLiteral("0h01m"),
                                                                  quillmark::oneLine(message)});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    checkReading(text);
    checkTree(text);
    checkRoundTrip(text);
    return 0;
}
