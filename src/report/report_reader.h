#pragma once

#include "model/report_model.h"

#include <optional>

namespace quillmark {

// What reading report text gives: the rows, and the label of the grand total line when there is
// one outside the folder blocks (the last such line). Inside a block every line belongs to a
// folder, so a file named like a grand total line cannot stand in for the real one.
struct ReadReport {
    ReportSummary summary;
    std::optional<QString> grandTotalLabel;
};

// Reads report text back into the rows the window shows. Lenient: it never fails, skips every
// line it does not recognise, drops folder blocks that are not closed by a valid total, and keeps
// names and labels exactly as written. Every report the writer makes reads back as the rows of
// the results it was written from. Linear in the length of the text, whatever it holds; the rows
// keep places in the text, not copies of it.
ReadReport readReport(const QString& text);
ReportSummary parseReport(const QString& text);

} // namespace quillmark
