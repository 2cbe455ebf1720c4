#include "formats/xps/XpsMarkup.h"
#include "formats/xps/XpsPackage.h"
#include "formats/xps/XpsPageWriter.h"
#include "platform/ChildProcess.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <sstream>

using namespace std::chrono_literals;
using formats::XpsMarkup;

namespace {

// Parses markup strictly; the error says where it broke.
bool wellFormed(const std::string& markup, pugi::xml_document& document, std::string& error)
{
    pugi::xml_parse_result result = document.load_buffer(markup.data(), markup.size());
    error = std::string(result.description()) + " at " + std::to_string(result.offset);
    return static_cast<bool>(result);
}

}

// Catches markup printed without escaping: a value holding '<', '&' or '"' would end the
// attribute or open an element, and a reader would refuse the page or read another value.
TEST(XpsMarkup, AttributeValuesComeOutEscaped)
{
    const std::string value = "Font <\"Bold\"> & Italic";
    pugi::xml_document built;
    pugi::xml_node element = built.append_child("ImageBrush");
    element.append_attribute("ImageSource") = value.c_str();
    element.append_child("Child").append_attribute("Name") = "a&b";
    std::string markup = XpsMarkup::text(element);
    // Only the quote that ends the value and the characters that start markup need escaping;
    // a ">" inside a quoted value stands as it is.
    EXPECT_EQ(markup,
        "<ImageBrush ImageSource=\"Font &lt;&quot;Bold&quot;> &amp; Italic\"><Child "
        "Name=\"a&amp;b\"/></ImageBrush>");

    pugi::xml_document parsed;
    std::string error;
    ASSERT_TRUE(wellFormed(XpsMarkup::part(markup), parsed, error)) << error;
    EXPECT_EQ(std::string(parsed.document_element().attribute("ImageSource").value()), value);
    EXPECT_EQ(std::string(parsed.document_element().child("Child").attribute("Name").value()), "a&b");
}

// Catches a value taken from the SVG reaching the markup unescaped: ids, references, colours and
// transforms that carry '<', '&' and '"' must leave every part of the package well-formed.
TEST(XpsMarkup, PageWithMarkupCharactersInItsSvgStaysWellFormed)
{
    std::string svg
        = "<?xml version='1.0'?><svg xmlns='http://www.w3.org/2000/svg' "
          "xmlns:xlink='http://www.w3.org/1999/xlink' width='100pt' height='100pt' viewBox='0 0 100 100'>"
          "<defs><symbol id='glyph&lt;0&amp;&quot;1'><path d='M 0 0 L 5 0 L 5 -8 Z'/></symbol>"
          "<clipPath id='clip&amp;&lt;'><rect width='50' height='50'/></clipPath>"
          "<linearGradient id='g&amp;&lt;' gradientUnits='userSpaceOnUse' x1='0' y1='0' x2='1' y2='0'>"
          "<stop offset='0' stop-color='red&amp;&lt;'/><stop offset='1' stop-color='blue'/></linearGradient>"
          "</defs><g clip-path='url(#clip&amp;&lt;)' stroke-linecap='&lt;round&gt;'>"
          "<use xlink:href='#glyph&lt;0&amp;&quot;1' x='10' y='20'/>"
          "<rect width='10' height='10' fill='url(#g&amp;&lt;)' transform='translate(1,2)&amp;&lt;'/>"
          "<image width='4' height='4' xlink:href='data:image/png&lt;&quot;;base64,&amp;'/>"
          "</g></svg>";
    formats::XpsPageWriter writer;
    std::string error;
    ASSERT_TRUE(writer.convert(svg, 1, error)) << error;
    pugi::xml_document page;
    ASSERT_TRUE(wellFormed(writer.fixedPage(), page, error)) << error << "\n" << writer.fixedPage();
    // The glyph and the gradient did reach the page, under names that an XML reader accepts.
    EXPECT_TRUE(page.select_node("//PathGeometry"));
    EXPECT_TRUE(page.select_node("//LinearGradientBrush"));

    TemporaryFolder folder;
    formats::XpsPackage package;
    package.addPage(writer);
    ASSERT_TRUE(package.write(folder.file("page.xps"))) << package.errorMessage();
    auto listing = platform::ChildProcess::run({ "unzip", "-Z1", folder.file("page.xps") }, 30s);
    ASSERT_TRUE(listing.succeeded());
    std::istringstream names(listing.standardOutput);
    int parts = 0;
    for (std::string name; std::getline(names, name); ++parts) {
        // unzip takes the name as a pattern, in which brackets are special.
        std::string pattern;
        for (char c : name)
            pattern += (c == '[' || c == ']') ? std::string("\\") + c : std::string(1, c);
        auto part = platform::ChildProcess::run({ "unzip", "-p", folder.file("page.xps"), pattern }, 30s);
        ASSERT_TRUE(part.succeeded()) << name;
        pugi::xml_document document;
        EXPECT_TRUE(wellFormed(part.standardOutput, document, error)) << name << ": " << error;
    }
    EXPECT_EQ(parts, 5); // content types, root relationship, sequence, document, page
}
