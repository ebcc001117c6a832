#pragma once

#include "model/report_model.h"

namespace quillmark {

// Reads report text back into the rows the window shows. Lenient: it never fails, skips every
// line it does not recognise, drops folder blocks that are not closed by a valid total, and keeps
// names and labels exactly as written.
ReportSummary parseReport(QStringView text);

} // namespace quillmark
