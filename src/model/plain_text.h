#pragma once

#include <QString>
#include <QStringView>

namespace quillmark {

// Text with the tabs and Unicode space separators at both ends taken off; line breaks stay, as
// they are no blank in a field of one line.
QStringView trimmedHorizontally(QStringView text);

// Empty, or only tabs and spaces: what a field that says nothing holds.
inline bool isBlank(QStringView text)
{
    return trimmedHorizontally(text).isEmpty();
}

// At most `limit` user-perceived characters: a longer text keeps its end behind "...", so a
// path still shows its file name. Accents and emoji are never cut apart.
QString shortenedFromTheStart(const QString& text, qsizetype limit);

// A message for a dialog: each line longer than `limit` user-perceived characters (a long path
// in it) keeps its first and last parts around "…", so that what is said before and after the
// path stays whole and the dialog fits on a screen.
QString shortenedInTheMiddle(const QString& text, qsizetype limit);

} // namespace quillmark
