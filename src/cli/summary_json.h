#pragma once

#include "model/report_model.h"

#include <QByteArray>

namespace quillmark {

// The summary as compact UTF-8 JSON, keys in the order of the model; an absent error message
// is left out, an empty one is kept.
QByteArray summaryJson(const ReportSummary& summary);

} // namespace quillmark
