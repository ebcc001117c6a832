#include "ui/display_text.h"
#include "ui/theme.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace quillmark {
namespace {

QPalette paletteWith(QColor window, QColor text, QColor base, QColor highlight)
{
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Highlight, highlight);
    return palette;
}

// Every text the window draws in its own colours reads at 4.5:1 at least, on light and dark
// palettes and whatever the desktop's highlight.
TEST(ThemeTest, TextReadsAtFourAndAHalfToOne)
{
    const QPalette original = QApplication::palette();
    const std::vector<std::pair<const char*, QPalette>> palettes{
        {"Fusion light", original},
        {"light, yellow highlight",
         paletteWith(QColor(246, 245, 244), QColor(46, 52, 54), Qt::white, QColor(246, 211, 45))},
        {"dark, blue highlight", paletteWith(QColor(40, 42, 46), QColor(230, 230, 230),
                                             QColor(30, 31, 34), QColor(61, 174, 233))},
    };
    for (const auto& [name, palette] : palettes) {
        QApplication::setPalette(palette);
        const QColor window = palette.color(QPalette::Window);
        const QColor base = palette.color(QPalette::Base);
        const QColor chip =
            theme::over(theme::accent(0.12), theme::over(theme::primary(0.03), window));
        const std::vector<std::tuple<const char*, QColor, QColor>> pairs{
            {"extension chip", theme::accentText(), chip},
            {"folder total chip", theme::accentText(), theme::over(theme::accent(0.1), window)},
            {"error link", theme::accentText(), window},
            {"Calcola", Qt::white, theme::accentFill()},
            {"grand total title", QColor(255, 255, 255, 230), theme::accentFill().darker(112)},
            {"quiet text (0%, captions, file labels)", theme::secondary(), window},
            {"quiet text on fields", theme::secondary(), base},
            {"text", theme::primary(), window},
            {"error", theme::error(), window},
        };
        for (const auto& [what, text, background] : pairs)
            EXPECT_GE(theme::contrast(text, background), 4.5) << name << ": " << what;
    }
    QApplication::setPalette(original);
}

TEST(DisplayTextTest, NamesAndTooltipsReadWell)
{
    EXPECT_EQ(displayedName(QStringLiteral("a\u2424b\u240Dc")), QStringLiteral("a\u23CEb\u21A9c"));

    const QString path = QStringLiteral("/media/") + QString(30, QLatin1Char('a')) +
                         QStringLiteral("/") + QString(30, QLatin1Char('b')) +
                         QStringLiteral("/film.mkv");
    const QString tip = tooltipText(path);
    const QStringList lines =
        tip.mid(tip.indexOf(QLatin1Char('>')) + 1).chopped(4).split(QStringLiteral("<br>"));
    EXPECT_EQ(lines.join(QString()), path); // broken after slashes, nothing lost
    for (const QString& line : lines)
        EXPECT_LE(line.size(), 60) << line.toStdString();

    // A path of thousands of characters keeps its start and its end.
    const QString longPath =
        QStringLiteral("/inizio/") + QString(4000, QLatin1Char('x')) + QStringLiteral("/fine.mkv");
    const QString longTip = tooltipText(longPath);
    EXPECT_LT(longTip.size(), 700);
    EXPECT_TRUE(longTip.contains(QStringLiteral("/inizio/")));
    EXPECT_TRUE(longTip.contains(QStringLiteral("fine.mkv")));
    EXPECT_TRUE(tooltipText(QStringLiteral("<b>&")).contains(QStringLiteral("&lt;b&gt;&amp;")));
}

} // namespace
} // namespace quillmark
