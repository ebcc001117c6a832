#pragma once

#include <QHashFunctions>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

namespace quillmark {

// What a calculation measured for one video file, in whole seconds.
struct FileEntry {
    QString name;
    QString fullPath;
    std::int64_t seconds = 0;
    std::optional<QString> error;
};

// What a calculation measured for one folder of the walk.
struct FolderReport {
    QString path;
    QList<FileEntry> files;
    std::int64_t totalSeconds = 0;
};

// One file as the window shows it; always produced by reading report text.
struct FileRow {
    QString name;
    QString durationLabel;
    std::optional<QString> errorMessage;

    // Rows with the same name and message share an identity even when they are different files.
    QString id() const { return name + errorMessage.value_or(QString()); }

    friend bool operator==(const FileRow&, const FileRow&) = default;
};

struct FolderRow {
    QString path;
    QList<FileRow> files;
    QString totalLabel;

    const QString& id() const { return path; }

    friend bool operator==(const FolderRow&, const FolderRow&) = default;
};

size_t qHash(const FileRow& row, size_t seed = 0);
size_t qHash(const FolderRow& row, size_t seed = 0);

struct ReportSummary {
    QList<FolderRow> folders;
    QString grandTotalLabel = QStringLiteral("0h00m");

    // No folders and a zero grand total: what the window shows before any report exists.
    static const ReportSummary& empty();

    std::int64_t totalFileCount() const;
};

} // namespace quillmark
