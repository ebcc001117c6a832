#pragma once

#include <QRegularExpression>

namespace quillmark {

// The patterns by which report text and folder names are recognised. Each is compiled once, on
// first use, and shared by every thread. They match like the platform's line-oriented engines:
// "." and "$" treat CR, LF, CR LF, NEL, LS and PS as line ends, and \d and \s are Unicode-aware.

// "Gran totale (1h12m)" anywhere in a line; captures the label.
const QRegularExpression& grandTotalPattern();
// A whole "Totale cartella (0h13m)" line; captures the label.
const QRegularExpression& folderTotalPattern();
// A whole "name (0h13m)" line; captures the name (the longest possible) and the label.
const QRegularExpression& fileLinePattern();
// A " (1h12m)" suffix at the very end of a folder name, with the white space around it.
const QRegularExpression& durationSuffixPattern();

} // namespace quillmark
