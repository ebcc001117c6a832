#include "ui/symbols.h"

#include "ui/resources.h"

#include <QGuiApplication>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

namespace quillmark {

namespace {

// Freedesktop names with the same meaning.
QString themeName(const QString& symbol)
{
    static const QHash<QString, QString> names{
        {QStringLiteral("folder"), QStringLiteral("folder")},
        {QStringLiteral("folder.fill"), QStringLiteral("folder")},
        {QStringLiteral("ellipsis.circle"), QStringLiteral("view-more")},
        {QStringLiteral("play.fill"), QStringLiteral("media-playback-start")},
        {QStringLiteral("stop.fill"), QStringLiteral("media-playback-stop")},
        {QStringLiteral("pencil"), QStringLiteral("document-edit")},
        {QStringLiteral("list.bullet.rectangle"), QStringLiteral("view-media-playlist")},
        {QStringLiteral("square.and.arrow.down"), QStringLiteral("document-save")},
        {QStringLiteral("doc.on.doc"), QStringLiteral("edit-copy")},
        {QStringLiteral("tray.and.arrow.down"), QStringLiteral("document-open")},
        {QStringLiteral("trash"), QStringLiteral("edit-delete")},
        {QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("dialog-warning")},
        {QStringLiteral("stopwatch"), QStringLiteral("chronometer")},
        {QStringLiteral("film"), QStringLiteral("video-x-generic")},
        {QStringLiteral("exclamationmark.circle.fill"), QStringLiteral("dialog-error")},
        {QStringLiteral("checkmark.circle.fill"), QStringLiteral("emblem-ok")},
        {QStringLiteral("chevron.right"), QStringLiteral("go-next")},
    };
    return names.value(symbol);
}

QPixmap drawn(const QString& name, int size, qreal ratio)
{
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    const QString theme = themeName(name);
    if (!theme.isEmpty() && QIcon::hasThemeIcon(theme)) {
        QPainter painter(&pixmap);
        QIcon::fromTheme(theme).paint(&painter, QRect(0, 0, size, size));
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
