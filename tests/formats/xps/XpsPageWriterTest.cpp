#include "formats/xps/XpsPageWriter.h"
#include "formats/xps/XpsImage.h"
#include "formats/xps/XpsPackage.h"
#include "platform/ChildProcess.h"
#include "tests/support/TemporaryFolder.h"

#include <QBuffer>
#include <QImage>
#include <clocale>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace std::chrono_literals;
using formats::XpsImage;
using formats::XpsPageWriter;

namespace {

std::string encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

std::string page(const std::string& body, const std::string& defs = "")
{
    return "<?xml version='1.0'?><svg xmlns='http://www.w3.org/2000/svg' "
           "xmlns:xlink='http://www.w3.org/1999/xlink' "
           "width='612pt' height='792pt' viewBox='0 0 612 792'><defs>"
        + defs + "</defs>" + body + "</svg>";
}

std::string base64(const std::string& bytes)
{
    return QByteArray::fromStdString(bytes).toBase64().toStdString();
}

std::string bigEndian(uint32_t value)
{
    return { static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
        static_cast<char>(value) };
}

std::string pngChunk(const std::string& type, const std::string& data)
{
    std::string body = type + data;
    uint32_t crc = crc32(
        crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()));
    return bigEndian(static_cast<uint32_t>(data.size())) + body + bigEndian(crc);
}

// Qt writes no interlaced PNG, so this one is put together by hand: an 8 x 8 grey image whose
// pixel (x, y) has the level 4 (x + 8 y), its rows stored in the seven passes of Adam7.
std::string interlacedGreyPng()
{
    struct Pass {
        int x, y, dx, dy;
    };
    const Pass passes[] = { { 0, 0, 8, 8 }, { 4, 0, 8, 8 }, { 0, 4, 4, 8 }, { 2, 0, 4, 4 }, { 0, 2, 2, 4 },
        { 1, 0, 2, 2 }, { 0, 1, 1, 2 } };
    std::string raw;
    for (const Pass& pass : passes) {
        for (int y = pass.y; y < 8; y += pass.dy) {
            raw += '\0'; // no filter
            for (int x = pass.x; x < 8; x += pass.dx)
                raw += static_cast<char>(4 * (x + 8 * y));
        }
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(size, '\0');
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
        static_cast<uLong>(raw.size()));
    packed.resize(size);
    std::string header = bigEndian(8) + bigEndian(8) + std::string("\x08\x00\x00\x00\x01", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) + pngChunk("IDAT", packed)
        + pngChunk("IEND", "");
}

// A page that paints a red square through a mask made of png.
std::string maskedPage(const std::string& png, int width, int height)
{
    std::string size = "width='" + std::to_string(width) + "' height='" + std::to_string(height) + "'";
    return page("<g mask='url(#mask0)'><rect " + size + " fill='red'/></g>",
        "<image id='image0' " + size + " xlink:href='data:image/png;base64," + base64(png)
            + "'/>"
              "<mask id='mask0'><use xlink:href='#image0'/></mask>");
}

size_t occurrences(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

}

// Catches points left in SVG units, a page of the wrong size, and glyph outlines repeated per
// use instead of shared.
TEST(XpsPageWriter, PageSizeAndSharedGlyphs)
{
    XpsPageWriter writer;
    std::string error;
    ASSERT_TRUE(
        writer.convert(page("<g style='fill:rgb(0%,0%,100%);fill-opacity:1;'>"
                            "<use xlink:href='#glyph0-1' x='90' y='83'/><use xlink:href='#glyph0-1' x='98' "
                            "y='83'/><use xlink:href='#glyph0-2' x='99' y='83'/></g>",
                           "<g><symbol overflow='visible' id='glyph0-1'><path style='stroke:none;' "
                           "d='M 0 0 L 5 0 L 5 -8 Z M 0 0 '/></symbol><symbol id='glyph0-2'><path "
                           "style='stroke:none;' d=''/></symbol></g>"),
            3, error))
        << error;
    EXPECT_EQ(writer.width(), 816);
    EXPECT_EQ(writer.height(), 1056);
    const std::string& markup = writer.fixedPage();
    EXPECT_NE(markup.find("<Canvas RenderTransform=\"1.333333,0,0,1.333333,0,0\">"), std::string::npos);
    EXPECT_EQ(
        occurrences(markup,
            "<PathGeometry x:Key=\"P3_glyph0_1\" FillRule=\"NonZero\" Figures=\"M 0,0 L 5,0 L 5,-8 Z\"/>"),
        1u);
    EXPECT_EQ(occurrences(markup, "Data=\"{StaticResource P3_glyph0_1}\" Fill=\"#FF0000FF\""), 2u);
    EXPECT_NE(markup.find("RenderTransform=\"1,0,0,1,98,83\""), std::string::npos);
    // A glyph without outline (a space) draws nothing.
    EXPECT_EQ(markup.find("glyph0_2"), std::string::npos);
}

// Catches strokes losing their width, caps, joins or dashes (XPS counts dashes in widths),
// clips not applied, fills with the wrong rule.
TEST(XpsPageWriter, StrokesClipsAndFillRules)
{
    XpsPageWriter writer;
    std::string error;
    ASSERT_TRUE(writer.convert(
        page(
            "<g clip-path='url(#clip1)' clip-rule='nonzero'><path style='fill:none;stroke-width:2;"
            "stroke-linecap:round;stroke-linejoin:bevel;stroke:rgb(0%,0%,0%);stroke-opacity:1;"
            "stroke-dasharray:6,2,4;' d='M 84 719 L 527 719 ' transform='matrix(1,0,0,-1,0,792)'/></g>"
            "<path fill-rule='evenodd' fill='#ff0000' d='M0 0 L 10 0 L 10 10 Z'/><rect x='1' y='2' width='3' "
            "height='4' style='fill:rgb(0%,100%,0%);opacity:0.5'/>",
            "<clipPath id='clip1'><path d='M 90 36 L 157 36 L 157 63 Z' "
            "transform='translate(1,0)'/></clipPath>"),
        1, error))
        << error;
    const std::string& markup = writer.fixedPage();
    EXPECT_NE(markup.find("<Canvas Clip=\"F 1 M 91,36 L 158,36 L 158,63 Z\">"), std::string::npos) << markup;
    EXPECT_NE(markup.find("<Path Data=\"F 1 M 84,719 L 527,719\" Stroke=\"#FF000000\" StrokeThickness=\"2\" "
                          "StrokeStartLineCap=\"Round\" StrokeEndLineCap=\"Round\" StrokeDashCap=\"Round\" "
                          "StrokeLineJoin=\"Bevel\" StrokeDashArray=\"3 1 2 3 1 2\" StrokeDashOffset=\"0\" "
                          "RenderTransform=\"1,0,0,-1,0,792\"/>"),
        std::string::npos)
        << markup;
    EXPECT_NE(markup.find("<Path Data=\"M 0,0 L 10,0 L 10,10 Z\" Fill=\"#FFFF0000\"/>"), std::string::npos);
    EXPECT_NE(markup.find("Data=\"F 1 M 1,2 L 4,2 L 4,6 L 1,6 Z\" Fill=\"#FF00FF00\" Opacity=\"0.5\""),
        std::string::npos);
}

// Catches a page whose decimals come out with the locale's comma or are read through it, so
// that "0.5" becomes 0: the test program runs under a comma locale.
TEST(XpsPageWriter, DecimalsStayDecimalsUnderACommaLocale)
{
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    XpsPageWriter writer;
    std::string error;
    ASSERT_TRUE(writer.convert("<svg xmlns='http://www.w3.org/2000/svg' width='612.5pt' height='792.25pt' "
                               "viewBox='0 0 612.5 792.25'><path style='fill:none;stroke:#000000;"
                               "stroke-width:0.5;stroke-opacity:0.25;opacity:0.75' d='M 0.5 1.25 L 2.5 1.25' "
                               "transform='matrix(1.5,0,0,-1.5,0.25,792.25)'/></svg>",
        1, error))
        << error;
    const std::string& markup = writer.fixedPage();
    EXPECT_NE(markup.find("Width=\"816.666667\" Height=\"1056.333333\""), std::string::npos) << markup;
    EXPECT_NE(markup.find("<Canvas RenderTransform=\"1.333333,0,0,1.333333,0,0\">"), std::string::npos);
    EXPECT_NE(markup.find("<Path Data=\"F 1 M 0.5,1.25 L 2.5,1.25\" Stroke=\"#40000000\" "
                          "StrokeThickness=\"0.5\""),
        std::string::npos)
        << markup;
    EXPECT_NE(
        markup.find("RenderTransform=\"1.5,0,0,-1.5,0.25,792.25\" Opacity=\"0.75\""), std::string::npos);
    EXPECT_EQ(markup.find(",\""), std::string::npos);
}

// Catches images lost, drawn at the wrong size or with their mask ignored (a shadow turns
// into a black box), and gradients not reaching the path.
TEST(XpsPageWriter, ImagesMasksAndGradients)
{
    QImage colour(4, 2, QImage::Format_RGB32);
    colour.fill(Qt::red);
    QImage mask(4, 2, QImage::Format_Grayscale8);
    mask.fill(128);
    std::string png = base64(encoded(colour, "PNG"));
    std::string jpeg = base64(encoded(colour, "JPEG"));
    std::string gray = base64(encoded(mask, "PNG"));
    XpsPageWriter writer;
    std::string error;
    ASSERT_TRUE(writer.convert(
        page("<use xlink:href='#image1' transform='matrix(2,0,0,2,10,20)'/>"
             "<use xlink:href='#image2' mask='url(#mask0)' transform='matrix(1,0,0,1,50,60)'/>"
             "<image width='8' height='4' x='5' y='6' xlink:href='data:image/png;base64,"
                + png
                + "'/>"
                  "<image width='8' height='4' xlink:href='file:///etc/passwd'/>"
                  "<rect width='10' height='10' style='fill:url(#linear0)'/>",
            "<image id='image1' width='4' height='2' xlink:href='data:image/png;base64," + png
                + "'/>"
                  "<image id='image2' width='4' height='2' xlink:href='data:image/jpeg;base64,"
                + jpeg
                + "'/>"
                  "<image id='image3' width='4' height='2' xlink:href='data:image/png;base64,"
                + gray
                + "'/>"
                  "<mask id='mask0'><use xlink:href='#image3'/></mask>"
                  "<linearGradient id='linear0' gradientUnits='userSpaceOnUse' x1='0' y1='0' x2='10' y2='0'>"
                  "<stop offset='0' stop-color='#000000'/><stop offset='1' "
                  "stop-color='#ffffff'/></linearGradient>"),
        2, error))
        << error;
    const std::string& markup = writer.fixedPage();
    ASSERT_EQ(writer.images().size(), 4u); // the PNG, the JPEG, the mask, the inline PNG
    auto partOf = [&](const std::string& before) {
        size_t at = markup.find(before);
        if (at == std::string::npos)
            return std::string();
        at += before.size();
        return markup.substr(at, markup.find('"', at) - at);
    };
    auto bytesOf = [&](const std::string& part) {
        for (const auto& image : writer.images()) {
            if (image.partName == part)
                return image.bytes;
        }
        return std::string();
    };
    EXPECT_EQ(
        partOf(
            "<Canvas RenderTransform=\"2,0,0,2,10,20\"><Path Data=\"M 0,0 L 4,0 L 4,2 L 0,2 Z\"><Path.Fill>"
            "<ImageBrush ImageSource=\""),
        "/Resources/Images/2-1.png");
    EXPECT_NE(
        markup.find("Viewbox=\"0,0,4,2\" ViewboxUnits=\"Absolute\" Viewport=\"0,0,4,2\""), std::string::npos);
    std::string maskPart
        = partOf("<Canvas RenderTransform=\"1,0,0,1,50,60\"><Canvas.OpacityMask><ImageBrush ImageSource=\"");
    std::string jpegPart = partOf("</Canvas.OpacityMask><Path Data=\"M 0,0 L 4,0 L 4,2 L 0,2 "
                                  "Z\"><Path.Fill><ImageBrush ImageSource=\"");
    EXPECT_EQ(jpegPart.substr(jpegPart.size() - 4), ".jpg") << markup;
    EXPECT_NE(markup.find("Viewport=\"5,6,8,4\""), std::string::npos);
    EXPECT_EQ(markup.find("passwd"), std::string::npos);
    EXPECT_NE(markup.find("<Path.Fill><LinearGradientBrush MappingMode=\"Absolute\""), std::string::npos);

    // The mask's luminance became the alpha an opacity mask reads.
    std::string maskBytes = bytesOf(maskPart);
    QImage alpha = QImage::fromData(
        reinterpret_cast<const uchar*>(maskBytes.data()), static_cast<int>(maskBytes.size()));
    ASSERT_FALSE(alpha.isNull()) << maskPart;
    EXPECT_EQ(alpha.size(), QSize(4, 2));
    EXPECT_EQ(qAlpha(alpha.pixel(3, 1)), 128);
}

// Catches readers sizing images by a resolution other than 96 pixels per inch.
TEST(XpsImage, StampsNinetySixDpiAndReadsSizes)
{
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::blue);
    image.setDotsPerMeterX(2835); // 72 dpi
    image.setDotsPerMeterY(2835);
    for (const char* format : { "PNG", "JPEG" }) {
        std::string extension;
        std::string prepared = XpsImage::prepare(encoded(image, format), extension);
        EXPECT_EQ(extension, std::string(format) == "PNG" ? "png" : "jpg");
        EXPECT_EQ(XpsImage::pixelSize(prepared), std::make_pair(30, 20)) << format;
        QImage back = QImage::fromData(
            reinterpret_cast<const uchar*>(prepared.data()), static_cast<int>(prepared.size()));
        ASSERT_FALSE(back.isNull()) << format;
        EXPECT_NEAR(back.dotsPerMeterX(), 3780, 2) << format;
        EXPECT_NEAR(back.dotsPerMeterY(), 3780, 2) << format;
    }
    std::string extension;
    EXPECT_TRUE(XpsImage::prepare("GIF89a....", extension).empty());
    EXPECT_EQ(XpsImage::pixelSize("short"), std::make_pair(0, 0));
    EXPECT_TRUE(XpsImage::luminanceToAlpha("not a png").empty());
}

// Catches a broken SVG taken for an empty page.
TEST(XpsPageWriter, RejectsBrokenSvg)
{
    XpsPageWriter writer;
    std::string error;
    EXPECT_FALSE(writer.convert("<svg><g></svg>", 1, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(writer.convert("<html/>", 1, error));
}

// Catches masks that vanish from the page (the shape then draws unmasked) because their PNG is
// interlaced, has 16 bits per channel or a palette with transparency: each mask must reach the
// written package, and Qt's reader must find the mask's luminance in the part's alpha.
TEST(XpsPageWriter, MasksOfEveryPngKindKeepTheirAlpha)
{
    QImage deep(3, 2, QImage::Format_RGBA64);
    deep.fill(QColor::fromRgba64(65535, 65535, 65535, 0x8080)); // white at half opacity: 128
    deep.setPixelColor(0, 0, QColor::fromRgba64(0, 0, 0, 65535)); // black: 0
    QImage palette(3, 2, QImage::Format_Indexed8);
    palette.setColorTable({ qRgba(255, 255, 255, 0), qRgba(255, 255, 255, 200), qRgba(128, 128, 128, 255) });
    palette.fill(1);
    palette.setPixel(1, 0, 0);
    palette.setPixel(2, 1, 2);
    struct Case {
        const char* name;
        std::string png;
        std::vector<std::tuple<int, int, int>> alphas; // x, y, the alpha expected there
    };
    std::vector<Case> cases = {
        { "interlaced", interlacedGreyPng(), { { 0, 0, 0 }, { 5, 0, 20 }, { 3, 6, 204 }, { 7, 7, 252 } } },
        { "16-bit", encoded(deep, "PNG"), { { 0, 0, 0 }, { 2, 1, 128 } } },
        { "palette", encoded(palette, "PNG"), { { 0, 0, 200 }, { 1, 0, 0 }, { 2, 1, 128 } } },
    };
    ASSERT_EQ(static_cast<unsigned char>(cases[0].png[28]), 1); // interlaced
    ASSERT_EQ(static_cast<unsigned char>(cases[1].png[24]), 16);
    ASSERT_EQ(static_cast<unsigned char>(cases[2].png[25]), 3);
    ASSERT_NE(cases[2].png.find("tRNS"), std::string::npos);
    for (const Case& test : cases) {
        QImage source = QImage::fromData(
            reinterpret_cast<const uchar*>(test.png.data()), static_cast<int>(test.png.size()));
        ASSERT_FALSE(source.isNull()) << test.name;
        XpsPageWriter writer;
        std::string error;
        ASSERT_TRUE(writer.convert(maskedPage(test.png, source.width(), source.height()), 1, error)) << error;
        ASSERT_EQ(writer.images().size(), 1u) << test.name << " mask lost";
        const std::string part = writer.images().front().partName;
        EXPECT_NE(writer.fixedPage().find("<Canvas.OpacityMask><ImageBrush ImageSource=\"" + part + "\""),
            std::string::npos)
            << test.name;

        TemporaryFolder folder;
        formats::XpsPackage package;
        package.addPage(writer);
        ASSERT_TRUE(package.write(folder.file("masked.xps"))) << package.errorMessage();
        auto unzip
            = platform::ChildProcess::run({ "unzip", "-p", folder.file("masked.xps"), part.substr(1) }, 30s);
        ASSERT_TRUE(unzip.succeeded()) << unzip.standardError;
        QImage mask = QImage::fromData(reinterpret_cast<const uchar*>(unzip.standardOutput.data()),
            static_cast<int>(unzip.standardOutput.size()));
        ASSERT_FALSE(mask.isNull()) << test.name;
        EXPECT_EQ(mask.size(), source.size()) << test.name;
        for (auto [x, y, alpha] : test.alphas)
            EXPECT_NEAR(qAlpha(mask.pixel(x, y)), alpha, 1) << test.name << " at " << x << "," << y;
    }
}

// Catches an image whose data mixes the standard and the URL base64 alphabets drawn from bytes
// the page never held: it is left out like any other image that cannot be read, while the same
// image in either alphabet alone is drawn.
TEST(XpsPageWriter, ImageMixingBase64AlphabetsIsLeftOut)
{
    QImage picture(16, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x)
            picture.setPixel(x, y, qRgba(x * 17, y * 13, (x * y) % 256, 255 - x * y));
    }
    std::string standard = base64(encoded(picture, "PNG"));
    size_t first = standard.find_first_of("+/");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(standard.find_first_of("+/", first + 1), std::string::npos);
    std::string url = standard;
    for (char& c : url)
        c = c == '+' ? '-' : c == '/' ? '_' : c;
    std::string mixed = standard;
    mixed[first] = url[first];
    auto drawn = [](const std::string& data) {
        XpsPageWriter writer;
        std::string error;
        EXPECT_TRUE(writer.convert(
            page("<image width='16' height='16' xlink:href='data:image/png;base64," + data + "'/>"), 1,
            error))
            << error;
        return writer.images().size() == 1 && writer.fixedPage().find("<ImageBrush") != std::string::npos;
    };
    EXPECT_TRUE(drawn(standard));
    EXPECT_TRUE(drawn(url));
    EXPECT_FALSE(drawn(mixed));
}
