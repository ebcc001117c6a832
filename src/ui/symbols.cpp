#include "ui/symbols.h"

#include "ui/resources.h"

#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>

namespace quillmark {

namespace {

// The window's own symbols, always drawn from the bundle: a desktop theme's arrows or status
// icons would change their look and their contrast. The menu's actions take the theme's icons.
bool isOwnSymbol(const QString& name)
{
    static const QSet<QString> own{
        QStringLiteral("go-next"),
        QStringLiteral("emblem-ok"),
        QStringLiteral("dialog-error"),
        QStringLiteral("dialog-warning"),
        QStringLiteral("dialog-information"),
        QStringLiteral("inode-directory"),
        QStringLiteral("video-x-generic"),
        QStringLiteral("chronometer"),
        QStringLiteral("quillmark"),
    };
    return own.contains(name);
}

QPixmap drawn(const QString& name, int size, qreal ratio)
{
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    if (!isOwnSymbol(name) && QIcon::hasThemeIcon(name)) {
        QPainter painter(&pixmap);
        QIcon::fromTheme(name).paint(&painter, QRect(0, 0, size, size));
        return pixmap;
    }
    registerUiResources();
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(name));
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return pixmap;
}

QPixmap tinted(const QString& name, int size, const QColor& color, qreal ratio)
{
    QPixmap pixmap = drawn(name, size, ratio);
    if (!color.isValid())
        return pixmap;
    // Light strokes (the white marks inside filled symbols) stay see-through.
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = QColor::fromRgba(qUnpremultiply(line[x]));
            const qreal coverage = pixel.alphaF() * (1.0 - pixel.lightnessF());
            QColor tinted = color;
            tinted.setAlphaF(color.alphaF() * coverage);
            line[x] = qPremultiply(tinted.rgba());
        }
    }
    QPixmap result = QPixmap::fromImage(image);
    result.setDevicePixelRatio(ratio);
    return result;
}

} // namespace

QPixmap symbolPixmap(const QString& name, int size, const QColor& color)
{
    // Rows paint the same few glyphs over and over: each is drawn once per size and colour.
    static QHash<QString, QPixmap> cache;
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    const QString key = QStringLiteral("%1|%2|%3|%4")
                            .arg(name)
                            .arg(size)
                            .arg(color.isValid() ? color.rgba() : 0u)
                            .arg(ratio);
    auto cached = cache.find(key);
    if (cached == cache.end())
        cached = cache.insert(key, tinted(name, size, color, ratio));
    return *cached;
}

QIcon symbolIcon(const QString& name, const QColor& color)
{
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(symbolPixmap(name, size, color));
    return icon;
}

} // namespace quillmark
