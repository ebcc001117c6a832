#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QRect>

#include <algorithm>
#include <cmath>

namespace quillmark::test {

// How far what is drawn in `area` of the image stands out from what it is drawn on, as WCAG's
// contrast ratio, 1 to 21: the area's commonest colour is taken for the background, and the pixel
// that stands out most from it for the ink. So antialiased glyphs, opacity and tints count as
// they look, not as their colours say.
inline double drawnContrast(const QImage& image, QRect area)
{
    area &= image.rect();
    auto luminance = [](QRgb pixel) {
        auto linear = [](int channel) {
            const double c = channel / 255.0;
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(qRed(pixel)) + 0.7152 * linear(qGreen(pixel)) +
               0.0722 * linear(qBlue(pixel));
    };
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000];
    if (counts.isEmpty())
        return 1.0;
    const QRgb background =
        std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
            return a.second < b.second;
        })->first;
    const double back = luminance(background);
    double best = 1.0;
    for (auto it = counts.keyBegin(); it != counts.keyEnd(); ++it) {
        const double ink = luminance(*it);
        best = std::max(best, (std::max(ink, back) + 0.05) / (std::min(ink, back) + 0.05));
    }
    return best;
}

} // namespace quillmark::test
