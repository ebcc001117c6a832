#include "model/report_model.h"

namespace quillmark {

size_t qHash(const FileRow& row, size_t seed)
{
    // The presence marker keeps an absent message apart from an empty one.
    return qHashMulti(seed, row.name, row.durationLabel, row.errorMessage.has_value(),
                      row.errorMessage.value_or(QString()));
}

size_t qHash(const FolderRow& row, size_t seed)
{
    return qHashMulti(seed, row.path, qHashRange(row.files.cbegin(), row.files.cend()),
                      row.totalLabel);
}

const ReportSummary& ReportSummary::empty()
{
    static const ReportSummary summary;
    return summary;
}

std::int64_t ReportSummary::totalFileCount() const
{
    std::int64_t count = 0;
    for (const FolderRow& folder : folders)
        count += folder.files.size();
    return count;
}

} // namespace quillmark
