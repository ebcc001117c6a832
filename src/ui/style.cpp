#include "ui/style.h"

#include "ui/resources.h"
#include "ui/theme.h"

#include <QFile>

namespace quillmark {

namespace {

QString rgba(const QColor& color)
{
    return QStringLiteral("rgba(%1,%2,%3,%4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alphaF());
}

} // namespace

QString windowStyleSheet()
{
    registerUiResources();
    QFile file(QStringLiteral(":/style/style.qss"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString sheet = QString::fromUtf8(file.readAll());
    // Longest names first, so that none is a prefix of one replaced after it.
    const std::pair<const char*, QColor> colours[] = {
        {"@warningFill", theme::warning(0.12)}, {"@focusRing", theme::focusRing()},
        {"@disabledFill", theme::primary(0.1)}, {"@disabledText", theme::primary(0.35)},
        {"@accentFaint", theme::accent(0.1)},   {"@hairline", theme::primary(0.08)},
        {"@divider", theme::primary(0.15)},     {"@accentFill", theme::accentFill()},
        {"@accentText", theme::accentText()},   {"@accent", theme::accent()},
        {"@faint", theme::primary(0.03)},       {"@focus", theme::accentText()},
        {"@line", theme::primary(0.12)},
    };
    for (const auto& [name, colour] : colours)
        sheet.replace(QLatin1String(name), rgba(colour));
    sheet.replace(QLatin1String("@badgeRadius"), QString::number(theme::px(38)));
    return sheet;
}

} // namespace quillmark
