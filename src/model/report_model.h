#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace quillmark {

// What a calculation measured for one video file, in whole seconds.
struct FileEntry {
    QString name;
    QString fullPath;
    std::int64_t seconds = 0;
    std::optional<QString> error;
    bool validUtf8 = true; // its path; else the texts show U+FFFD where the bytes were
};

// What a calculation measured for one folder of the walk.
struct FolderReport {
    QString path;
    QList<FileEntry> files;
    std::int64_t totalSeconds = 0;
};

// One file as the window shows it, made from its folder's row when it is asked for.
struct FileRow {
    QString name;
    QString durationLabel;
    std::optional<QString> errorMessage;

    friend bool operator==(const FileRow&, const FileRow&) = default;
};

// Where a piece of a row stands in the report text it was read from.
struct TextSpan {
    qsizetype start = 0;
    qsizetype length = 0;
};

// A report text and where the name, label and message of each of its files stand in it: every
// folder row read from the text shares it. A file costs sixteen bytes here whatever its name, so a
// report of millions of short lines costs memory in proportion to its text.
class RowTexts {
public:
    explicit RowTexts(QString text, qsizetype expectedFiles = 0);

    const QString& text() const { return m_text; }
    qsizetype fileCount() const { return qsizetype(m_files.size()); }
    // The label of a file line follows its name after " (".
    void addFile(TextSpan name, qsizetype labelLength, std::optional<TextSpan> error);

    QStringView name(qsizetype file) const;
    QStringView label(qsizetype file) const;
    std::optional<QStringView> error(qsizetype file) const;

private:
    struct File {
        qsizetype nameStart = 0;
        std::int32_t nameLength = 0;
        std::int32_t labelLength = 0;
    };

    QString m_text;
    std::vector<File> m_files;
    std::vector<std::pair<qsizetype, TextSpan>> m_errors; // by file, in file order
};

// One folder as the window shows it: its path, its total and a run of the report's files.
class FolderRow {
public:
    FolderRow() = default;
    // The files of the folder are those added to `texts` from now until it is closed.
    FolderRow(QString path, std::shared_ptr<const RowTexts> texts);

    QString path;
    QString totalLabel;

    qsizetype fileCount() const { return m_count; }
    // Where its files stand among all the report's files, which are numbered in report order.
    qsizetype firstFile() const { return m_first; }
    FileRow file(qsizetype index) const;
    QStringView fileLabel(qsizetype index) const { return m_texts->label(m_first + index); }
    bool fileHasError(qsizetype index) const { return m_texts->error(m_first + index).has_value(); }
    // Takes in the files added since the folder was made.
    void close() { m_count = m_texts->fileCount() - m_first; }

    friend bool operator==(const FolderRow& a, const FolderRow& b);

private:
    std::shared_ptr<const RowTexts> m_texts;
    qsizetype m_first = 0;
    qsizetype m_count = 0;
};

// What a calculation knows of a file that its report line does not say: the seconds measured,
// which the line rounds to the minute, whether its path was valid UTF-8 (if not, its name shows
// U+FFFD where the bytes were), and its name as the file system has it when the report shows it
// otherwise (also a line break, shown as a symbol).
struct MeasuredFile {
    std::int64_t seconds = 0;
    bool validUtf8 = true;
    QByteArray nativeName = {}; // empty: the report shows the name as it is
};

struct ReportSummary {
    QList<FolderRow> folders;
    QString grandTotalLabel = QStringLiteral("0h00m");

    std::int64_t totalFileCount() const;
    // The files listed with an error.
    qsizetype errorCount() const;
};

// Whether `measured` holds the calculation's figures for every file of the report, in report
// order; a report read back from text has none, and only its labels are known (a report without
// files needs none).
bool measuredEveryFile(const ReportSummary& summary, const std::vector<MeasuredFile>& measured);

} // namespace quillmark
