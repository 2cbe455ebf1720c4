#include "formats/webarchive/Base64.h"
#include "formats/xps/XpsImage.h"
#include "formats/xps/XpsPageWriter.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

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
    return "<?xml version='1.0'?><svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' "
           "width='612pt' height='792pt' viewBox='0 0 612 792'><defs>"
        + defs + "</defs>" + body + "</svg>";
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
    ASSERT_TRUE(writer.convert(page("<g style='fill:rgb(0%,0%,100%);fill-opacity:1;'>"
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
    EXPECT_EQ(occurrences(markup, "<PathGeometry x:Key=\"P3_glyph0_1\" FillRule=\"NonZero\" Figures=\"M 0,0 L 5,0 L 5,-8 Z\"/>"), 1u);
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
        page("<g clip-path='url(#clip1)' clip-rule='nonzero'><path style='fill:none;stroke-width:2;"
             "stroke-linecap:round;stroke-linejoin:bevel;stroke:rgb(0%,0%,0%);stroke-opacity:1;"
             "stroke-dasharray:6,2,4;' d='M 84 719 L 527 719 ' transform='matrix(1,0,0,-1,0,792)'/></g>"
             "<path fill-rule='evenodd' fill='#ff0000' d='M0 0 L 10 0 L 10 10 Z'/><rect x='1' y='2' width='3' "
             "height='4' style='fill:rgb(0%,100%,0%);opacity:0.5'/>",
            "<clipPath id='clip1'><path d='M 90 36 L 157 36 L 157 63 Z' transform='translate(1,0)'/></clipPath>"),
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

// Catches images lost, drawn at the wrong size or with their mask ignored (a shadow turns
// into a black box), and gradients not reaching the path.
TEST(XpsPageWriter, ImagesMasksAndGradients)
{
    QImage colour(4, 2, QImage::Format_RGB32);
    colour.fill(Qt::red);
    QImage mask(4, 2, QImage::Format_Grayscale8);
    mask.fill(128);
    std::string png = formats::base64Encode(encoded(colour, "PNG"));
    std::string jpeg = formats::base64Encode(encoded(colour, "JPEG"));
    std::string gray = formats::base64Encode(encoded(mask, "PNG"));
    XpsPageWriter writer;
    std::string error;
    ASSERT_TRUE(writer.convert(
        page("<use xlink:href='#image1' transform='matrix(2,0,0,2,10,20)'/>"
             "<use xlink:href='#image2' mask='url(#mask0)' transform='matrix(1,0,0,1,50,60)'/>"
             "<image width='8' height='4' x='5' y='6' xlink:href='data:image/png;base64," + png + "'/>"
             "<image width='8' height='4' xlink:href='file:///etc/passwd'/>"
             "<rect width='10' height='10' style='fill:url(#linear0)'/>",
            "<image id='image1' width='4' height='2' xlink:href='data:image/png;base64," + png + "'/>"
            "<image id='image2' width='4' height='2' xlink:href='data:image/jpeg;base64," + jpeg + "'/>"
            "<image id='image3' width='4' height='2' xlink:href='data:image/png;base64," + gray + "'/>"
            "<mask id='mask0'><use xlink:href='#image3'/></mask>"
            "<linearGradient id='linear0' gradientUnits='userSpaceOnUse' x1='0' y1='0' x2='10' y2='0'>"
            "<stop offset='0' stop-color='#000000'/><stop offset='1' stop-color='#ffffff'/></linearGradient>"),
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
    EXPECT_EQ(partOf("<Canvas RenderTransform=\"2,0,0,2,10,20\"><Path Data=\"M 0,0 L 4,0 L 4,2 L 0,2 Z\"><Path.Fill>"
                     "<ImageBrush ImageSource=\""),
        "/Resources/Images/2-1.png");
    EXPECT_NE(markup.find("Viewbox=\"0,0,4,2\" ViewboxUnits=\"Absolute\" Viewport=\"0,0,4,2\""), std::string::npos);
    std::string maskPart = partOf("<Canvas RenderTransform=\"1,0,0,1,50,60\"><Canvas.OpacityMask><ImageBrush ImageSource=\"");
    std::string jpegPart = partOf("</Canvas.OpacityMask><Path Data=\"M 0,0 L 4,0 L 4,2 L 0,2 Z\"><Path.Fill><ImageBrush ImageSource=\"");
    EXPECT_EQ(jpegPart.substr(jpegPart.size() - 4), ".jpg") << markup;
    EXPECT_NE(markup.find("Viewport=\"5,6,8,4\""), std::string::npos);
    EXPECT_EQ(markup.find("passwd"), std::string::npos);
    EXPECT_NE(markup.find("<Path.Fill><LinearGradientBrush MappingMode=\"Absolute\""), std::string::npos);

    // The mask's luminance became the alpha an opacity mask reads.
    std::string maskBytes = bytesOf(maskPart);
    QImage alpha = QImage::fromData(reinterpret_cast<const uchar*>(maskBytes.data()), static_cast<int>(maskBytes.size()));
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
        QImage back = QImage::fromData(reinterpret_cast<const uchar*>(prepared.data()), static_cast<int>(prepared.size()));
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
