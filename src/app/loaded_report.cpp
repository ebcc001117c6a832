#include "app/loaded_report.h"

#include "model/app_error.h"
#include "model/duration_label.h"
#include "platform/folder_token.h"
#include "platform/text_file.h"
#include "report/report_reader.h"

#include <sys/stat.h>

namespace quillmark {

LoadedReport readReportFile(const std::filesystem::path& folder)
{
    QString text = readUtf8File(folder / "durata.txt");
    ReadReport read = readReport(text);
    std::vector<FolderTreeRow> tree = folderTree(read);
    const std::int64_t grandTotal = labelSeconds(read.summary.grandTotalLabel);
    const bool statesGrandTotal = read.grandTotalLabel.has_value();
    return LoadedReport{.text = std::move(text),
                        .summary = std::move(read.summary),
                        .durationLabel = std::move(read.grandTotalLabel),
                        .folder = folderIdentity(folder),
                        .folderPath = folder,
                        .searchedExtensions = {},
                        .tree = std::move(tree),
                        .grandTotalSeconds = grandTotal,
                        .statesGrandTotal = statesGrandTotal,
                        .files = {}};
}

FolderLook lookAtFolder(const std::filesystem::path& named,
                        const std::function<void()>& readingReport)
{
    FolderLook look{named, {}, false, false, std::nullopt, std::nullopt};
    struct stat info {};
    look.exists = ::stat(named.c_str(), &info) == 0;
    if (look.exists && !S_ISDIR(info.st_mode))
        look.folder = named.parent_path();
    look.token = makeFolderToken(look.folder);
    const std::filesystem::path file = look.folder / "durata.txt";
    std::error_code missing;
    look.hasReport = std::filesystem::exists(file, missing);
    if (!look.hasReport)
        return look;
    readingReport();
    try {
        look.report = readReportFile(look.folder);
    } catch (const std::exception& error) {
        look.reportProblem = describeError(error);
    }
    return look;
}

} // namespace quillmark
