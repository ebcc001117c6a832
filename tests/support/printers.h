#pragma once

#include "model/report_model.h"

#include <QString>

#include <ostream>

// Readable failure messages for the value types the tests compare.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace quillmark {

inline void PrintTo(const FileRow& row, std::ostream* os)
{
    *os << "{" << row.name.toStdString() << " | " << row.durationLabel.toStdString() << " | ";
    if (row.errorMessage)
        PrintTo(*row.errorMessage, os);
    else
        *os << "none";
    *os << "}";
}

inline void PrintTo(const FolderRow& row, std::ostream* os)
{
    *os << "{" << row.path.toStdString() << " total " << row.totalLabel.toStdString() << ":";
    for (const FileRow& file : row.files) {
        *os << " ";
        PrintTo(file, os);
    }
    *os << "}";
}

} // namespace quillmark
