#pragma once

#include "model/report_model.h"

#include <QByteArrayView>

#include <functional>
#include <vector>

namespace quillmark {

// The report as a spreadsheet: CSV as RFC 4180 has it (UTF-8, CRLF, quotes where a field needs
// them), a header line in the interface's language, then one line per file: folder, file name,
// seconds, label, error message, note. The seconds are those measured, one per report file in
// report order, so that the column adds up to the grand total; whole numbers, which a spreadsheet
// reads alike in every language ("61.000" is sixty-one thousand to an Italian one). Without them (a
// report read back from text, which states only whole minutes) the column is empty. Paths and
// names are written as the file system has them where the calculation knew them (a line break in
// a name is quoted as any other), one per folder row and one per file. The note says when a path
// was not valid UTF-8 and shows U+FFFD for its bytes, and, from a report read back, when it shows
// a line break as a symbol. A text field that a spreadsheet
// would read as a formula (it begins with =, +, -, @, a tab or a carriage return) begins with an
// apostrophe, so that it stays text. Handed to `write` in pieces of about 64 KiB; stops when a
// write fails.
bool writeCsv(const ReportSummary& summary, const std::vector<MeasuredFile>& measured,
              const std::vector<QByteArray>& nativeFolderPaths,
              const std::function<bool(QByteArrayView)>& write);

} // namespace quillmark
