#include "formats/xps/XpsPageWriter.h"

#include "formats/xps/SvgDataUri.h"
#include "formats/xps/SvgNumber.h"
#include "formats/xps/SvgPathData.h"
#include "formats/xps/SvgShapes.h"
#include "formats/xps/XpsBrush.h"
#include "formats/xps/XpsImage.h"
#include "formats/xps/XpsMarkup.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <pugixml.hpp>

namespace formats {

using namespace svg;

namespace {

// Beyond this nesting a page is taken for a loop of use elements and drawn no deeper.
constexpr int maximumDepth = 64;

// Resource keys must be XML names, and unique across pages: readers keep the resources of
// the pages they have read and would draw one page's glyphs on the next.
std::string keyFor(int page, const std::string& id)
{
    std::string key = "P" + std::to_string(page) + "_";
    for (char c : id)
        key += (std::isalnum(static_cast<unsigned char>(c)) || c == '_') ? c : '_';
    return key;
}

const char* const xpsNamespace = "http://schemas.microsoft.com/xps/2005/06";
const char* const resourceKeyNamespace = "http://schemas.microsoft.com/xps/2005/06/resourcedictionary-key";

void setAttribute(pugi::xml_node node, const char* name, const std::string& value)
{
    node.append_attribute(name) = value.c_str();
}

}

bool XpsPageWriter::convert(const std::string& svgBytes, int pageNumber, std::string& error)
{
    m_page.clear();
    m_images.clear();
    m_imageParts.clear();
    m_geometries.clear();
    m_pageNumber = pageNumber;
    m_depth = 0;
    if (!m_document.parse(svgBytes, error))
        return false;
    SvgMatrix userToPage;
    pageSize(*m_document.root(), userToPage);

    pugi::xml_document markup;
    pugi::xml_node page = markup.append_child("FixedPage");
    setAttribute(page, "xmlns", xpsNamespace);
    setAttribute(page, "xmlns:x", resourceKeyNamespace);
    setAttribute(page, "xml:lang", m_language);
    setAttribute(page, "Width", number(m_width));
    setAttribute(page, "Height", number(m_height));
    pugi::xml_node canvas = page.append_child("Canvas");
    setPlacement(canvas, userToPage, {}, 1);
    SvgStyle style = SvgStyle().child(*m_document.root());
    for (const auto& child : m_document.root()->children)
        element(*child, style, canvas);

    // The glyphs are known only once the page is drawn, and their resources come first.
    if (!m_geometries.empty()) {
        pugi::xml_node dictionary
            = page.insert_child_before("FixedPage.Resources", canvas).append_child("ResourceDictionary");
        for (const auto& [key, figures] : m_geometries) {
            if (figures.empty())
                continue;
            pugi::xml_node geometry = dictionary.append_child("PathGeometry");
            setAttribute(geometry, "x:Key", key);
            setAttribute(geometry, "FillRule", "NonZero");
            setAttribute(geometry, "Figures", figures);
        }
    }
    m_page = XpsMarkup::text(page);
    return true;
}

void XpsPageWriter::pageSize(const Element& root, SvgMatrix& userToPage)
{
    std::vector<double> box = SvgNumber::list(root.attribute("viewBox"));
    bool hasBox = box.size() == 4 && box[2] > 0 && box[3] > 0;
    m_width = lengthInXpsUnits(root.attribute("width"), hasBox ? box[2] : 816);
    m_height = lengthInXpsUnits(root.attribute("height"), hasBox ? box[3] : 1056);
    if (hasBox)
        userToPage = SvgMatrix::scaling(m_width / box[2], m_height / box[3])
            * SvgMatrix::translation(-box[0], -box[1]);
}

void XpsPageWriter::element(const Element& node, const SvgStyle& inherited, pugi::xml_node out)
{
    if (m_depth > maximumDepth)
        return;
    SvgMatrix transform = SvgMatrix::parse(node.attribute("transform"));
    if (node.name == "g" || node.name == "a" || node.name == "switch") {
        group(node, inherited.child(node), transform, out);
    } else if (node.name == "use") {
        use(node, inherited, out);
    } else if (node.name == "image") {
        image(node, transform, out);
    } else if (auto data = shapeData(node)) {
        SvgStyle style = inherited.child(node);
        if (!data->isEmpty())
            path(data->xps(style.fillNonZero), node, style, transform, out);
    }
    // defs, symbol, clipPath, mask, gradients and patterns draw only where referenced.
}

void XpsPageWriter::setPlacement(
    pugi::xml_node shape, const SvgMatrix& transform, const std::string& clip, double opacity)
{
    if (!transform.isIdentity())
        setAttribute(shape, "RenderTransform", transform.xps());
    if (!clip.empty())
        setAttribute(shape, "Clip", clip);
    if (opacity < 1)
        setAttribute(shape, "Opacity", number(std::max(0.0, opacity)));
}

pugi::xml_node XpsPageWriter::openCanvas(
    const Element& node, const SvgStyle& style, const SvgMatrix& transform, pugi::xml_node parent)
{
    Mask masking = mask(node);
    std::string clip = clipGeometry(node, style);
    double opacity = style.opacity * masking.opacity;
    if (transform.isIdentity() && clip.empty() && !(opacity < 1) && masking.brush.part.empty())
        return parent;
    pugi::xml_node canvas = parent.append_child("Canvas");
    setPlacement(canvas, transform, clip, opacity);
    if (!masking.brush.part.empty())
        appendImageBrush(canvas.append_child("Canvas.OpacityMask"), masking.brush);
    return canvas;
}

void XpsPageWriter::group(
    const Element& node, const SvgStyle& style, const SvgMatrix& transform, pugi::xml_node out)
{
    pugi::xml_node canvas = openCanvas(node, style, transform, out);
    ++m_depth;
    for (const auto& child : node.children)
        element(*child, style, canvas);
    --m_depth;
}

XpsPageWriter::Mask XpsPageWriter::mask(const Element& node)
{
    const Element* masking = m_document.referenced(node.attribute("mask"));
    if (!masking || masking->name != "mask")
        return {};
    // The first thing the mask draws decides it; cairo's masks draw one thing.
    const Element* content = masking;
    SvgMatrix transform;
    bool alphaFilter = false;
    while (content && !content->children.empty() && (content == masking || content->name == "g")) {
        alphaFilter = alphaFilter || content->has("filter");
        transform = transform * SvgMatrix::parse(content->attribute("transform"));
        content = content->children.front().get();
    }
    if (!content || content == masking)
        return {};
    Mask result;
    const Element* picture = content->name == "image" ? content : nullptr;
    if (content->name == "use") {
        transform = transform * SvgMatrix::parse(content->attribute("transform"))
            * SvgMatrix::translation(numberAttribute(*content, "x", 0), numberAttribute(*content, "y", 0));
        picture = m_document.referenced(content->attribute("href"));
    }
    if (picture && picture->name == "image") {
        std::string& part = m_maskParts[picture];
        if (part.empty()) {
            auto bytes = SvgDataUri::bytes(picture->attribute("href"));
            std::string alpha = bytes ? XpsImage::luminanceToAlpha(*bytes) : std::string();
            if (alpha.empty())
                return {};
            part = "/Resources/Images/" + std::to_string(m_pageNumber) + "-"
                + std::to_string(m_images.size() + 1) + ".png";
            m_images.push_back({ part, alpha });
        }
        auto [pixelWidth, pixelHeight]
            = XpsImage::pixelSize(std::find_if(m_images.begin(), m_images.end(), [&](const Image& image) {
                  return image.partName == part;
              })->bytes);
        double x = numberAttribute(*picture, "x", 0), y = numberAttribute(*picture, "y", 0);
        result.brush = { part, "0,0," + number(pixelWidth) + "," + number(pixelHeight),
            number(x) + "," + number(y) + "," + number(numberAttribute(*picture, "width", pixelWidth)) + ","
                + number(numberAttribute(*picture, "height", pixelHeight)),
            transform };
        return result;
    }
    if (shapeData(*content)) {
        // A uniform mask: its luminance (or, through an alpha filter, its opacity) is an opacity.
        SvgStyle style = SvgStyle().child(*content);
        double level = style.fillOpacity;
        if (!alphaFilter) {
            std::string color = XpsBrush::color(style.fill, 1).value_or("#FF000000");
            // "#AARRGGBB": the colour's six digits follow the opacity's two.
            long rgb = 0;
            std::from_chars(color.data() + 3, color.data() + color.size(), rgb, 16);
            level *= (0.2125 * (rgb >> 16 & 255) + 0.7154 * (rgb >> 8 & 255) + 0.0721 * (rgb & 255)) / 255;
        }
        result.opacity = level;
    }
    return result;
}

void XpsPageWriter::appendImageBrush(pugi::xml_node parent, const ImagePlacement& placement)
{
    pugi::xml_node brush = parent.append_child("ImageBrush");
    setAttribute(brush, "ImageSource", placement.part);
    setAttribute(brush, "Viewbox", placement.viewbox);
    setAttribute(brush, "ViewboxUnits", "Absolute");
    setAttribute(brush, "Viewport", placement.viewport);
    setAttribute(brush, "ViewportUnits", "Absolute");
    setAttribute(brush, "TileMode", "None");
    if (!placement.transform.isIdentity())
        setAttribute(brush, "Transform", placement.transform.xps());
}

void XpsPageWriter::use(const Element& node, const SvgStyle& inherited, pugi::xml_node out)
{
    const Element* target = m_document.referenced(node.attribute("href"));
    if (!target)
        return;
    SvgMatrix transform = SvgMatrix::parse(node.attribute("transform"))
        * SvgMatrix::translation(numberAttribute(node, "x", 0), numberAttribute(node, "y", 0));
    SvgStyle style = inherited.child(node);
    if (target->name == "symbol") {
        glyph(*target, style, transform, out);
        return;
    }
    // Anything else is drawn as if it stood inside a group with the use element's transform.
    pugi::xml_node canvas = openCanvas(node, style, transform, out);
    ++m_depth;
    style.opacity = 1;
    element(*target, style, canvas);
    --m_depth;
}

void XpsPageWriter::glyph(
    const Element& symbol, const SvgStyle& style, const SvgMatrix& transform, pugi::xml_node out)
{
    std::string key = keyFor(m_pageNumber, symbol.attribute("id"));
    auto known = m_geometries.find(key);
    if (known == m_geometries.end()) {
        SvgPathData outline;
        for (const auto& child : symbol.children) {
            if (auto data = shapeData(*child)) {
                data->transform(SvgMatrix::parse(child->attribute("transform")));
                outline.append(*data);
            }
        }
        known = m_geometries.emplace(key, outline.isEmpty() ? std::string() : outline.xps(false)).first;
    }
    if (!known->second.empty())
        path("{StaticResource " + key + "}", symbol, style, transform, out);
}

void XpsPageWriter::path(const std::string& data, const Element& node, const SvgStyle& style,
    const SvgMatrix& transform, pugi::xml_node out)
{
    pugi::xml_node shape = out.append_child("Path");
    setAttribute(shape, "Data", data);
    bool coloured = paint(shape, "Fill", style.fill, style.fillOpacity);
    // A stroke painted by a gradient keeps the default thickness, as it always has here.
    if (style.strokeWidth > 0 && paint(shape, "Stroke", style.stroke, style.strokeOpacity)) {
        coloured = true;
        setStrokeAttributes(shape, style);
    }
    if (!coloured && !shape.first_child()) {
        out.remove_child(shape);
        return;
    }
    setPlacement(shape, transform, clipGeometry(node, style), style.opacity);
}

bool XpsPageWriter::paint(
    pugi::xml_node shape, const char* property, const std::string& paint, double opacity)
{
    if (auto color = XpsBrush::color(paint, opacity)) {
        setAttribute(shape, property, *color);
        return true;
    }
    if (const Element* gradient = m_document.referenced(paint)) {
        pugi::xml_node holder = shape.append_child((std::string("Path.") + property).c_str());
        if (!XpsBrush::gradient(*gradient, m_document, opacity, holder))
            shape.remove_child(holder);
    }
    return false;
}

void XpsPageWriter::setStrokeAttributes(pugi::xml_node shape, const SvgStyle& style)
{
    std::string cap = style.lineCap == "round" ? "Round" : style.lineCap == "square" ? "Square" : "Flat";
    std::string join = style.lineJoin == "round" ? "Round" : style.lineJoin == "bevel" ? "Bevel" : "Miter";
    setAttribute(shape, "StrokeThickness", number(style.strokeWidth));
    setAttribute(shape, "StrokeStartLineCap", cap);
    setAttribute(shape, "StrokeEndLineCap", cap);
    setAttribute(shape, "StrokeDashCap", cap);
    setAttribute(shape, "StrokeLineJoin", join);
    if (join == "Miter")
        setAttribute(shape, "StrokeMiterLimit", number(std::max(1.0, style.miterLimit)));
    // XPS measures dashes in stroke widths; an odd SVG list repeats to become even.
    std::vector<double> dashes = style.dashes;
    if (dashes.size() % 2 == 1)
        dashes.insert(dashes.end(), style.dashes.begin(), style.dashes.end());
    double total = 0;
    for (double dash : dashes)
        total += dash;
    if (!dashes.empty() && total > 0) {
        std::string list;
        for (size_t i = 0; i < dashes.size(); ++i)
            list += (i ? " " : "") + number(dashes[i] / style.strokeWidth);
        setAttribute(shape, "StrokeDashArray", list);
        setAttribute(shape, "StrokeDashOffset", number(style.dashOffset / style.strokeWidth));
    }
}

std::string XpsPageWriter::clipGeometry(const Element& node, const SvgStyle& style)
{
    const Element* clip = m_document.referenced(node.attribute("clip-path"));
    if (!clip || clip->name != "clipPath")
        return {};
    SvgPathData outline;
    bool nonZero = style.clipNonZero;
    for (const auto& child : clip->children) {
        const Element* shape
            = child->name == "use" ? m_document.referenced(child->attribute("href")) : child.get();
        auto data = shape ? shapeData(*shape) : std::nullopt;
        if (!data)
            continue;
        data->transform(SvgMatrix::parse(child->attribute("transform")));
        outline.append(*data);
        if (child->has("clip-rule"))
            nonZero = child->attribute("clip-rule") != "evenodd";
    }
    outline.transform(SvgMatrix::parse(clip->attribute("transform")));
    // An empty clip path lets nothing through.
    if (outline.isEmpty())
        return "M 0,0 L 0,0 Z";
    return outline.xps(nonZero);
}

void XpsPageWriter::image(const Element& node, const SvgMatrix& transform, pugi::xml_node out)
{
    std::string part = imagePart(node);
    if (part.empty())
        return;
    const Image& stored = *std::find_if(
        m_images.begin(), m_images.end(), [&](const Image& image) { return image.partName == part; });
    auto [pixelWidth, pixelHeight] = XpsImage::pixelSize(stored.bytes);
    double x = numberAttribute(node, "x", 0), y = numberAttribute(node, "y", 0);
    double width = numberAttribute(node, "width", pixelWidth),
           height = numberAttribute(node, "height", pixelHeight);
    if (width <= 0 || height <= 0 || pixelWidth <= 0 || pixelHeight <= 0)
        return;
    pugi::xml_node shape = out.append_child("Path");
    setAttribute(shape, "Data", SvgPathData::rectangle(x, y, width, height).xps(false));
    setPlacement(shape, transform, {}, SvgStyle().child(node).opacity);
    appendImageBrush(shape.append_child("Path.Fill"),
        { part, "0,0," + number(pixelWidth) + "," + number(pixelHeight),
            number(x) + "," + number(y) + "," + number(width) + "," + number(height), {} });
}

std::string XpsPageWriter::imagePart(const Element& node)
{
    if (auto known = m_imageParts.find(&node); known != m_imageParts.end())
        return known->second;
    std::string& part = m_imageParts[&node];
    // Only images carried inside the page: a file reference is never followed.
    auto bytes = SvgDataUri::bytes(node.attribute("href"));
    if (!bytes)
        return part;
    std::string extension;
    std::string prepared = XpsImage::prepare(*bytes, extension);
    if (prepared.empty())
        return part;
    part = "/Resources/Images/" + std::to_string(m_pageNumber) + "-" + std::to_string(m_images.size() + 1)
        + "." + extension;
    m_images.push_back({ part, prepared });
    return part;
}

}
