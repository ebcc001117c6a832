#include "model/report_model.h"

#include <algorithm>

namespace quillmark {

RowTexts::RowTexts(QString text, qsizetype expectedFiles)
    : m_text(std::move(text))
{
    m_files.reserve(std::size_t(expectedFiles));
}

void RowTexts::addFile(TextSpan name, qsizetype labelLength, std::optional<TextSpan> error)
{
    if (error)
        m_errors.emplace_back(fileCount(), *error);
    m_files.push_back(File{name.start, std::int32_t(name.length), std::int32_t(labelLength)});
}

QStringView RowTexts::name(qsizetype file) const
{
    const File& entry = m_files[std::size_t(file)];
    return QStringView(m_text).sliced(entry.nameStart, entry.nameLength);
}

QStringView RowTexts::label(qsizetype file) const
{
    const File& entry = m_files[std::size_t(file)];
    return QStringView(m_text).sliced(entry.nameStart + entry.nameLength + 2, entry.labelLength);
}

std::optional<QStringView> RowTexts::error(qsizetype file) const
{
    const auto found = std::lower_bound(m_errors.begin(), m_errors.end(), file,
                                        [](const std::pair<qsizetype, TextSpan>& error,
                                           qsizetype index) { return error.first < index; });
    if (found == m_errors.end() || found->first != file)
        return std::nullopt;
    return QStringView(m_text).sliced(found->second.start, found->second.length);
}

FolderRow::FolderRow(QString path, std::shared_ptr<const RowTexts> texts)
    : path(std::move(path))
    , m_texts(std::move(texts))
    , m_first(m_texts->fileCount())
{
}

FileRow FolderRow::file(qsizetype index) const
{
    FileRow row{m_texts->name(m_first + index).toString(), fileLabel(index).toString(),
                std::nullopt};
    if (const auto error = m_texts->error(m_first + index))
        row.errorMessage = error->toString();
    return row;
}

bool operator==(const FolderRow& a, const FolderRow& b)
{
    if (a.path != b.path || a.totalLabel != b.totalLabel || a.fileCount() != b.fileCount())
        return false;
    for (qsizetype index = 0; index < a.fileCount(); ++index) {
        if (a.file(index) != b.file(index))
            return false;
    }
    return true;
}

std::int64_t ReportSummary::totalFileCount() const
{
    std::int64_t count = 0;
    for (const FolderRow& folder : folders)
        count += folder.fileCount();
    return count;
}

qsizetype ReportSummary::errorCount() const
{
    qsizetype errors = 0;
    for (const FolderRow& folder : folders)
        for (qsizetype file = 0; file < folder.fileCount(); ++file)
            errors += folder.fileHasError(file) ? 1 : 0;
    return errors;
}

bool measuredEveryFile(const ReportSummary& summary, const std::vector<MeasuredFile>& measured)
{
    return measured.size() == std::size_t(summary.totalFileCount());
}

} // namespace quillmark
