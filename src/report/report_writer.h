#pragma once

#include "model/report_model.h"

#include <QStringList>

namespace quillmark {

// The lines of the plain-text report, the last one empty; joined with LF they are the report
// text that is shown, copied and saved as "durata.txt". Nothing is recomputed, and nothing is
// escaped except line breaks (see oneLine).
QStringList reportLines(const QList<FolderReport>& folders, std::int64_t grandTotalSeconds);

// A path, name or message as a report line holds it: every character that ends a line for the
// reader becomes a visible symbol (LF, NEL, LS and PS U+2424, CR U+240D, VT U+240B, FF U+240C), so
// that no entry can end its line and forge the lines after it.
QString oneLine(QString text);

// " (1h05m)": how a label follows a name, in report lines and in folder and playlist names.
QString durationSuffix(const QString& label);

// The report text: reportLines joined with single LF characters, so it ends with one LF.
QString reportText(const QList<FolderReport>& folders, std::int64_t grandTotalSeconds);

} // namespace quillmark
