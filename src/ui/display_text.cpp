#include "ui/display_text.h"

#include <QStringList>

namespace quillmark {

namespace {

constexpr qsizetype lineLength = 60;
constexpr qsizetype longestShown = 480; // eight lines

} // namespace

QString displayedName(QString name)
{
    for (const auto& [written, shown] :
         {std::pair{u'\u2424', u'\u23CE'}, std::pair{u'\u240D', u'\u21A9'},
          std::pair{u'\u240B', u'\u21A7'}, std::pair{u'\u240C', u'\u21DF'}})
        name.replace(QChar(written), QChar(shown));
    return name;
}

QString tooltipText(const QString& text)
{
    QString shown = displayedName(text);
    if (shown.size() > longestShown)
        shown = shown.left(longestShown / 2) + QChar(0x2026) + shown.right(longestShown / 2);
    QStringList lines;
    while (shown.size() > lineLength) {
        // The last space or slash that keeps the line within the length, else a hard cut.
        qsizetype cut = lineLength;
        for (qsizetype at = lineLength; at > lineLength / 2; --at) {
            if (shown[at - 1] == QLatin1Char(' ') || shown[at - 1] == QLatin1Char('/')) {
                cut = at;
                break;
            }
        }
        lines.append(shown.left(cut));
        shown.remove(0, cut);
    }
    lines.append(shown);
    // Rich text with explicit breaks and no wrapping of its own: Qt would wrap it far narrower.
    for (QString& line : lines)
        line = line.toHtmlEscaped();
    return QStringLiteral("<p style=\"white-space:pre\">") + lines.join(QStringLiteral("<br>")) +
           QStringLiteral("</p>");
}

} // namespace quillmark
