#include "ui/theme.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>

#include <algorithm>
#include <cmath>

namespace quillmark::theme {

namespace {

// Text is made to read at 4.5:1 as drawn: its antialiased glyphs are lighter than its colour, so
// the colour itself aims higher. Marks that are not text (bars, rings, icons) need 3:1.
constexpr double textContrast = 5.5;
constexpr double markContrast = 3.3;
// The design's text size, in pixels: the size of the application font it is drawn for.
constexpr double designFontPixels = 13.0;

double luminance(const QColor& colour)
{
    auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

QColor window()
{
    return QGuiApplication::palette().color(QPalette::Window);
}

} // namespace

QColor over(const QColor& top, const QColor& bottom)
{
    const double alpha = top.alphaF();
    auto mix = [alpha](double a, double b) { return a * alpha + b * (1 - alpha); };
    return QColor::fromRgbF(float(mix(top.redF(), bottom.redF())),
                            float(mix(top.greenF(), bottom.greenF())),
                            float(mix(top.blueF(), bottom.blueF())));
}

double contrast(const QColor& text, const QColor& background)
{
    const double a = luminance(over(text, background));
    const double b = luminance(background);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readable(const QColor& ink, const std::vector<QColor>& backgrounds, double ratio)
{
    QColor colour = over(ink, backgrounds.front());
    // Towards black on backgrounds lighter than the middle grey, towards white otherwise.
    const bool darken = luminance(backgrounds.front()) > 0.18;
    auto enough = [&] {
        return std::all_of(backgrounds.begin(), backgrounds.end(), [&](const QColor& background) {
            return contrast(colour, background) >= ratio;
        });
    };
    for (int step = 0; step < 100 && !enough(); ++step) {
        const float hue = colour.hslHueF();
        const float saturation = colour.hslSaturationF();
        const float lightness = colour.lightnessF() + (darken ? -0.01f : 0.01f);
        colour = QColor::fromHslF(hue, saturation, std::clamp(lightness, 0.0f, 1.0f));
    }
    return colour;
}

QColor readable(const QColor& ink, const QColor& background)
{
    return readable(ink, {background}, textContrast);
}

namespace {

// Where the window's quiet texts stand: the window, a field, an open folder's rows, a selected
// row.
std::vector<QColor> textBackgrounds()
{
    return {window(), QGuiApplication::palette().color(QPalette::Base), openRowBackground(),
            selectedRowBackground()};
}

} // namespace

QColor accentText()
{
    std::vector<QColor> backgrounds = textBackgrounds();
    backgrounds.push_back(over(accent(0.12), openRowBackground()));
    backgrounds.push_back(over(accent(0.12), selectedRowBackground()));
    return readable(accent(), backgrounds, textContrast);
}

QColor openRowBackground()
{
    return over(primary(0.03), window());
}

QColor selectedRowBackground()
{
    return over(accent(0.16), openRowBackground());
}

QColor shareBar()
{
    return readable(accent(), {window(), openRowBackground(), selectedRowBackground()},
                    markContrast);
}

QColor mark(const QColor& colour)
{
    return readable(colour, {window(), openRowBackground()}, markContrast);
}

QColor focusRing()
{
    return primary();
}

QColor accentFill()
{
    return readable(accent(), Qt::white);
}

QColor accent()
{
    return QGuiApplication::palette().color(QPalette::Highlight);
}

QColor accent(qreal opacity)
{
    QColor color = accent();
    color.setAlphaF(opacity);
    return color;
}

QColor primary(qreal opacity)
{
    QColor color = QGuiApplication::palette().color(QPalette::WindowText);
    color.setAlphaF(opacity);
    return color;
}

QColor secondary()
{
    return readable(primary(0.55), textBackgrounds(), textContrast);
}

QColor error()
{
    const bool dark = QGuiApplication::palette().color(QPalette::Base).lightness() < 128;
    return readable(dark ? QColor(255, 105, 97) : QColor(215, 0, 21), textBackgrounds(),
                    textContrast);
}

QColor warning(qreal opacity)
{
    QColor color(255, 149, 0);
    color.setAlphaF(opacity);
    return color;
}

QColor warningMark()
{
    return mark(warning());
}

QColor success()
{
    return mark(QColor(52, 199, 89));
}

QColor shadow()
{
    return QColor(0, 0, 0, 40);
}

QColor folderTint()
{
    return QColor::fromRgbF(0.93f, 0.71f, 0.32f);
}

bool sameApplicationFont(std::optional<QFont>& seen)
{
    QFont application = QGuiApplication::font();
    if (seen && *seen == application)
        return true;
    seen = std::move(application);
    return false;
}

double scale()
{
    static std::optional<QFont> measuredFor;
    static double measured = 1.0;
    if (!sameApplicationFont(measuredFor))
        measured = std::max(QFontInfo(*measuredFor).pixelSize() / designFontPixels, 0.5);
    return measured;
}

int px(double designPixels)
{
    return int(std::lround(designPixels * scale()));
}

QFont font(int designPixels, QFont::Weight weight, bool monospaced)
{
    // Asked for every row painted: made once for each size and application font.
    static std::optional<QFont> madeFor;
    static QHash<int, QFont> made;
    if (!sameApplicationFont(madeFor))
        made.clear();
    const QFont& application = *madeFor;
    const int key = (designPixels * 1000 + int(weight)) * 2 + (monospaced ? 1 : 0);
    if (const auto found = made.constFind(key); found != made.cend())
        return *found;
    QFont font = monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : application;
    if (application.pointSizeF() > 0)
        font.setPointSizeF(application.pointSizeF() * designPixels / designFontPixels);
    else
        font.setPixelSize(px(designPixels));
    font.setWeight(weight);
    made.insert(key, font);
    return font;
}

QFont caption()
{
    return font(11);
}

QFont callout()
{
    return font(12);
}

QLabel* captionLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(caption());
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, secondary());
    label->setPalette(palette);
    return label;
}

} // namespace quillmark::theme
