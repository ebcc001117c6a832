#pragma once

#include "model/report_model.h"

#include <QStringList>

namespace quillmark {

// The lines of the plain-text report, the last one empty; joined with LF they are the report
// text that is shown, copied and saved as "durata.txt". Nothing is recomputed, and nothing is
// escaped except line breaks (see oneLine in report_format.h).
QStringList reportLines(const QList<FolderReport>& folders, std::int64_t grandTotalSeconds);

// The report text: reportLines joined with single LF characters, so it ends with one LF.
QString reportText(const QList<FolderReport>& folders, std::int64_t grandTotalSeconds);

} // namespace quillmark
