#pragma once

#include "model/report_model.h"
#include "platform/folder_identity.h"
#include "report/folder_tree.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

namespace quillmark {

// The current report: its text, its rows with where each stands in the folder tree, the
// grand-total label a rename uses and the folder it describes. Save and copy work on the text;
// rename needs the label and the folder.
struct LoadedReport {
    QString text;
    ReportSummary summary;
    std::optional<QString> durationLabel;
    std::optional<FolderIdentity> folder;
    std::filesystem::path folderPath; // as it was named when the report was made or read
    QStringList searchedExtensions;   // those a calculation looked for; none for a read report
    std::vector<FolderTreeRow> tree;
    std::int64_t grandTotalSeconds = 0;
    bool statesGrandTotal = true; // a report read from text may have lost its grand total line
    // What a calculation measured of each file; none for a report read from text.
    std::vector<MeasuredFile> files;
    // Each folder row's path as the file system has it where the report shows it otherwise;
    // known to a calculation only.
    std::vector<QByteArray> nativeFolderPaths = {};
    // Where a rename moved the folder since the report was made: the rows' paths follow it.
    std::optional<std::filesystem::path> renamedTo = std::nullopt;
    // The files and folders measured, when the report is of a selection rather than of the
    // folder: it is then no folder's durata.txt, and no folder is renamed after it.
    std::vector<std::filesystem::path> selection = {};
};

// A "durata.txt" read back and made ready to show; throws what reading throws. The parsing of a
// large report takes a while: like the reading, it is done off the GUI thread.
LoadedReport readReportFile(const std::filesystem::path& folder);

// What the window learns of a folder when it is chosen or restored, all from the disk.
struct FolderLook {
    std::filesystem::path folder; // the folder named, or the folder of a file named instead
    QByteArray token;             // what finds it again at the next start; empty: none
    bool exists = false;          // whether the folder is there
    bool hasReport = false;       // whether it holds a "durata.txt"
    std::optional<LoadedReport> report;
    std::optional<QString> reportProblem; // why the report that is there could not be read
};
// readingReport is called before a report that is there is read, which may take a while.
FolderLook lookAtFolder(const std::filesystem::path& named,
                        const std::function<void()>& readingReport);

} // namespace quillmark
