#include "ui/theme.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>

namespace quillmark::theme {

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
    return primary(0.55);
}

QColor error()
{
    const bool dark = QGuiApplication::palette().color(QPalette::Base).lightness() < 128;
    return dark ? QColor(255, 105, 97) : QColor(215, 0, 21);
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
