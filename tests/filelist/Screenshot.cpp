#include "Screenshot.h"

#include <QDir>

QString screenshotPath(const QString& name)
{
    return QDir(qEnvironmentVariable("PRESSLING_BINARY_DIR", QDir::tempPath())).filePath(name);
}

bool drawnIn(const QImage& image, const QRect& band)
{
    QRgb first = image.pixel(band.topLeft());
    for (int y = band.top(); y <= band.bottom(); ++y) {
        for (int x = band.left(); x <= band.right(); ++x) {
            if (image.pixel(x, y) != first)
                return true;
        }
    }
    return false;
}
