#include "resources/ResourceIcons.h"

#include <QPainter>
#include <QString>
#include <QSvgRenderer>

namespace ResourceIcons {

namespace {

QString pathOf(int identifier)
{
    switch (identifier) {
    case PublishingNotifier:
        return QStringLiteral(":/pressling/icons/publishing.svg");
    case Success:
        return QStringLiteral(":/pressling/icons/success.svg");
    case Failure:
        return QStringLiteral(":/pressling/icons/failure.svg");
    default:
        return QString();
    }
}

}

QPixmap pixmap(int identifier, int size)
{
    QString path = pathOf(identifier);
    if (path.isEmpty())
        return QPixmap();
    // Rendered through QSvgRenderer rather than an image plugin, so the icons do not depend on
    // which Qt plugins a machine happens to have.
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return QPixmap();
    QPixmap image(size, size);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QIcon icon(int identifier)
{
    QIcon result;
    for (int size : { 16, 24, 32, 48 })
        result.addPixmap(pixmap(identifier, size));
    return result;
}

}
