#include "ui/theme.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>

#include <algorithm>
#include <cmath>

namespace quillmark::theme {

namespace {

constexpr double minimumContrast = 4.5;

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

QColor readable(const QColor& ink, const QColor& background)
{
    QColor colour = over(ink, background);
    // Towards black on a background lighter than the middle grey, towards white otherwise.
    const bool darken = luminance(background) > 0.18;
    for (int step = 0; step < 100 && contrast(colour, background) < minimumContrast; ++step) {
        const float hue = colour.hslHueF();
        const float saturation = colour.hslSaturationF();
        const float lightness = colour.lightnessF() + (darken ? -0.01f : 0.01f);
        colour = QColor::fromHslF(hue, saturation, std::clamp(lightness, 0.0f, 1.0f));
    }
    return colour;
}

QColor accentText()
{
    return readable(accent(), over(accent(0.12), over(primary(0.03), window())));
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
    return readable(primary(0.55), over(primary(0.03), window()));
}

QColor error()
{
    const bool dark = QGuiApplication::palette().color(QPalette::Base).lightness() < 128;
    return readable(dark ? QColor(255, 105, 97) : QColor(215, 0, 21), window());
}

QColor warning(qreal opacity)
{
    QColor color(255, 149, 0);
    color.setAlphaF(opacity);
    return color;
}

QColor success()
{
    return QColor(52, 199, 89);
}

QColor shadow()
{
    return QColor(0, 0, 0, 40);
}

QColor folderTint()
{
    return QColor::fromRgbF(0.93f, 0.71f, 0.32f);
}

QFont font(int pixelSize, QFont::Weight weight, bool monospaced)
{
    QFont font =
        monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QGuiApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
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
