#include "formats/xps/XpsImage.h"

#include "formats/zip/ZipWriter.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace formats {

namespace {

const std::string pngSignature("\x89PNG\r\n\x1a\n", 8);

uint32_t big32(const std::string& bytes, size_t at)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 24
        | static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16
        | static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8
        | static_cast<unsigned char>(bytes[at + 3]);
}

void putBig32(std::string& bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
}

bool isJpeg(const std::string& bytes)
{
    return bytes.size() > 4 && bytes.compare(0, 2, "\xFF\xD8") == 0;
}

// 3780 pixels per metre is 96 pixels per inch.
constexpr int dotsPerMetre = 3780;
// Larger masks than any page needs are taken for damage and dropped.
constexpr int maximumSide = 20000;

std::string pngAt96(std::string bytes)
{
    for (size_t at = 8; at + 12 <= bytes.size();) {
        uint32_t length = big32(bytes, at);
        if (length > bytes.size() - at - 12)
            break;
        if (bytes.compare(at + 4, 4, "pHYs") == 0 && length == 9) {
            putBig32(bytes, at + 8, dotsPerMetre);
            putBig32(bytes, at + 12, dotsPerMetre);
            bytes[at + 16] = 1;
            putBig32(bytes, at + 17, ZipWriter::crc32(bytes.substr(at + 4, 13)));
        }
        at += 12 + length;
    }
    return bytes;
}

std::string jpegAt96(std::string bytes)
{
    static const std::string jfif("\xFF\xE0\x00\x10JFIF\x00\x01\x01\x01\x00\x60\x00\x60\x00\x00", 18);
    if (bytes.size() >= 20 && bytes.compare(2, 2, "\xFF\xE0") == 0
        && bytes.compare(6, 5, std::string("JFIF\0", 5)) == 0) {
        bytes[13] = 1; // dots per inch
        bytes[14] = 0;
        bytes[15] = 96;
        bytes[16] = 0;
        bytes[17] = 96;
        return bytes;
    }
    return bytes.substr(0, 2) + jfif + bytes.substr(2);
}

}

std::string XpsImage::luminanceToAlpha(const std::string& png)
{
    auto [width, height] = pixelSize(png);
    if (png.compare(0, 8, pngSignature) != 0 || width <= 0 || height <= 0 || width > maximumSide
        || height > maximumSide)
        return {};
    // Qt's reader handles every PNG cairo may embed: any depth, palettes with transparency and
    // interlaced rows. Converted to straight (not premultiplied) RGBA, each pixel reads alike.
    QImage image
        = QImage::fromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
    if (image.isNull())
        return {};
    image = image.convertToFormat(QImage::Format_RGBA8888);
    QImage alpha(image.size(), QImage::Format_RGBA8888);
    for (int y = 0; y < image.height(); ++y) {
        const uchar* from = image.constScanLine(y);
        uchar* to = alpha.scanLine(y);
        for (int x = 0; x < image.width(); ++x, from += 4, to += 4) {
            double luminance = (0.2125 * from[0] + 0.7154 * from[1] + 0.0721 * from[2]) * from[3] / 255;
            to[0] = to[1] = to[2] = 0;
            to[3] = static_cast<uchar>(static_cast<int>(luminance + 0.5));
        }
    }
    alpha.setDotsPerMeterX(dotsPerMetre);
    alpha.setDotsPerMeterY(dotsPerMetre);
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!alpha.save(&buffer, "PNG"))
        return {};
    return std::string(encoded.constData(), static_cast<size_t>(encoded.size()));
}

std::string XpsImage::prepare(const std::string& bytes, std::string& extension)
{
    if (bytes.compare(0, 8, pngSignature) == 0) {
        extension = "png";
        return pngAt96(bytes);
    }
    if (isJpeg(bytes)) {
        extension = "jpg";
        return jpegAt96(bytes);
    }
    return {};
}

std::pair<int, int> XpsImage::pixelSize(const std::string& bytes)
{
    if (bytes.size() >= 24 && bytes.compare(0, 8, pngSignature) == 0 && bytes.compare(12, 4, "IHDR") == 0)
        return { static_cast<int>(big32(bytes, 16)), static_cast<int>(big32(bytes, 20)) };
    if (!isJpeg(bytes))
        return { 0, 0 };
    for (size_t at = 2; at + 9 < bytes.size();) {
        if (static_cast<unsigned char>(bytes[at]) != 0xFF)
            return { 0, 0 };
        unsigned char marker = static_cast<unsigned char>(bytes[at + 1]);
        size_t length
            = static_cast<unsigned char>(bytes[at + 2]) << 8 | static_cast<unsigned char>(bytes[at + 3]);
        bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            int height
                = static_cast<unsigned char>(bytes[at + 5]) << 8 | static_cast<unsigned char>(bytes[at + 6]);
            int width
                = static_cast<unsigned char>(bytes[at + 7]) << 8 | static_cast<unsigned char>(bytes[at + 8]);
            return { width, height };
        }
        at += 2 + length;
    }
    return { 0, 0 };
}

}
