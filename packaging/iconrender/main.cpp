#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;
constexpr int largestSize = 1024;

// A size is a whole number of pixels within what an icon theme holds; anything else is a typo
// in the build, better stopped than rendered.
int sizeFrom(const char* text)
{
    bool ok = false;
    int size = QString::fromLocal8Bit(text).toInt(&ok);
    return ok && size > 0 && size <= largestSize ? size : 0;
}

QImage rendered(QSvgRenderer& renderer, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    painter.end();
    return image;
}

// Written under a temporary name and renamed, so that a failed run never leaves a half-written
// icon that the next build takes as done.
bool save(const QImage& image, const QString& path)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}

}

// Renders an SVG icon as a square PNG of one size, for the icon theme's fixed-size folders:
// render-icon SVG SIZE PNG.
int main(int argc, char** argv)
{
    if (argc != 4 || sizeFrom(argv[2]) == 0) {
        std::fprintf(stderr, "Usage: render-icon SVG SIZE PNG (SIZE from 1 to %d)\n", largestSize);
        return exitUsage;
    }
    // A build machine has no display to offer.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render-icon: %s is not a readable SVG image\n", argv[1]);
        return exitFailure;
    }
    if (!save(rendered(renderer, sizeFrom(argv[2])), QString::fromLocal8Bit(argv[3]))) {
        std::fprintf(stderr, "render-icon: %s cannot be written\n", argv[3]);
        return exitFailure;
    }
    return 0;
}
