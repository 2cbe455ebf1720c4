#include "formats/xps/XpsImage.h"

#include "formats/zip/ZipWriter.h"

#include <QByteArray>
#include <cstdlib>
#include <vector>

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
std::string pngAt96(std::string bytes)
{
    for (size_t at = 8; at + 12 <= bytes.size();) {
        uint32_t length = big32(bytes, at);
        if (length > bytes.size() - at - 12)
            break;
        if (bytes.compare(at + 4, 4, "pHYs") == 0 && length == 9) {
            putBig32(bytes, at + 8, 3780);
            putBig32(bytes, at + 12, 3780);
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
    if (bytes.size() >= 20 && bytes.compare(2, 2, "\xFF\xE0") == 0 && bytes.compare(6, 5, std::string("JFIF\0", 5)) == 0) {
        bytes[13] = 1; // dots per inch
        bytes[14] = 0;
        bytes[15] = 96;
        bytes[16] = 0;
        bytes[17] = 96;
        return bytes;
    }
    return bytes.substr(0, 2) + jfif + bytes.substr(2);
}

std::string chunk(const char* type, const std::string& data)
{
    std::string out(4, '\0');
    putBig32(out, 0, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type) + data;
    out += body;
    std::string crc(4, '\0');
    putBig32(crc, 0, ZipWriter::crc32(body));
    return out + crc;
}

// Undoes the PNG row filters in place; rows are 1 + stride bytes.
bool unfilter(std::string& data, size_t stride, size_t height, size_t pixelBytes)
{
    std::vector<unsigned char> previous(stride, 0);
    for (size_t row = 0; row < height; ++row) {
        unsigned char* line = reinterpret_cast<unsigned char*>(&data[row * (stride + 1)]);
        unsigned char filter = line[0];
        unsigned char* pixels = line + 1;
        for (size_t i = 0; i < stride; ++i) {
            int left = i >= pixelBytes ? pixels[i - pixelBytes] : 0;
            int up = previous[i];
            int upLeft = i >= pixelBytes ? previous[i - pixelBytes] : 0;
            int predictor = 0;
            switch (filter) {
            case 0:
                break;
            case 1:
                predictor = left;
                break;
            case 2:
                predictor = up;
                break;
            case 3:
                predictor = (left + up) / 2;
                break;
            case 4: {
                int p = left + up - upLeft;
                int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upLeft);
                predictor = (pa <= pb && pa <= pc) ? left : (pb <= pc ? up : upLeft);
                break;
            }
            default:
                return false;
            }
            pixels[i] = static_cast<unsigned char>(pixels[i] + predictor);
        }
        previous.assign(pixels, pixels + stride);
    }
    return true;
}

}

std::string XpsImage::luminanceToAlpha(const std::string& png)
{
    if (png.size() < 33 || png.compare(0, 8, pngSignature) != 0 || png.compare(12, 4, "IHDR") != 0)
        return {};
    size_t width = big32(png, 16), height = big32(png, 20);
    int depth = static_cast<unsigned char>(png[24]), type = static_cast<unsigned char>(png[25]);
    int channels = type == 0 ? 1 : type == 2 ? 3 : type == 4 ? 2 : type == 6 ? 4 : 0;
    if (depth != 8 || channels == 0 || png[28] != 0 || width == 0 || height == 0 || width > 20000 || height > 20000)
        return {};
    std::string compressed;
    for (size_t at = 8; at + 12 <= png.size();) {
        uint32_t length = big32(png, at);
        if (length > png.size() - at - 12)
            return {};
        if (png.compare(at + 4, 4, "IDAT") == 0)
            compressed += png.substr(at + 8, length);
        at += 12 + length;
    }
    size_t stride = width * static_cast<size_t>(channels);
    size_t expected = (stride + 1) * height;
    QByteArray input(4, '\0');
    for (int i = 0; i < 4; ++i)
        input[i] = static_cast<char>(expected >> (24 - 8 * i));
    input.append(compressed.data(), static_cast<qsizetype>(compressed.size()));
    QByteArray inflated = qUncompress(input);
    if (static_cast<size_t>(inflated.size()) < expected)
        return {};
    std::string data(inflated.constData(), expected);
    if (!unfilter(data, stride, height, static_cast<size_t>(channels)))
        return {};
    std::string rows;
    rows.reserve((width * 4 + 1) * height);
    for (size_t row = 0; row < height; ++row) {
        const unsigned char* pixels = reinterpret_cast<const unsigned char*>(&data[row * (stride + 1) + 1]);
        rows += '\0';
        for (size_t x = 0; x < width; ++x) {
            const unsigned char* p = pixels + x * static_cast<size_t>(channels);
            double luminance = channels >= 3 ? 0.2125 * p[0] + 0.7154 * p[1] + 0.0721 * p[2] : p[0];
            if (channels == 2 || channels == 4)
                luminance = luminance * p[channels - 1] / 255;
            rows += std::string(3, '\0');
            rows += static_cast<char>(static_cast<int>(luminance + 0.5));
        }
    }
    QByteArray deflated = qCompress(reinterpret_cast<const uchar*>(rows.data()), static_cast<qsizetype>(rows.size()), 6);
    std::string header(13, '\0');
    putBig32(header, 0, static_cast<uint32_t>(width));
    putBig32(header, 4, static_cast<uint32_t>(height));
    header[8] = 8;
    header[9] = 6; // RGBA
    // qCompress puts a length of its own before the zlib stream that IDAT holds.
    return pngSignature + chunk("IHDR", header)
        + chunk("IDAT", std::string(deflated.constData() + 4, static_cast<size_t>(deflated.size() - 4)))
        + chunk("IEND", {});
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
        size_t length = static_cast<unsigned char>(bytes[at + 2]) << 8 | static_cast<unsigned char>(bytes[at + 3]);
        bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            int height = static_cast<unsigned char>(bytes[at + 5]) << 8 | static_cast<unsigned char>(bytes[at + 6]);
            int width = static_cast<unsigned char>(bytes[at + 7]) << 8 | static_cast<unsigned char>(bytes[at + 8]);
            return { width, height };
        }
        at += 2 + length;
    }
    return { 0, 0 };
}

}
