#include "formats/xps/XpsPageWriter.h"

#include "formats/xps/SvgDataUri.h"
#include "formats/xps/SvgPathData.h"
#include "formats/xps/SvgShapes.h"
#include "formats/xps/XpsBrush.h"
#include "formats/xps/XpsImage.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>

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

std::string transformAttribute(const SvgMatrix& transform)
{
    return transform.isIdentity() ? std::string() : " RenderTransform=\"" + transform.xps() + "\"";
}

std::string opacityAttribute(double opacity)
{
    return opacity < 1 ? " Opacity=\"" + number(std::max(0.0, opacity)) + "\"" : std::string();
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
    std::string body;
    SvgStyle style = SvgStyle().child(*m_document.root());
    for (const auto& child : m_document.root()->children)
        element(*child, style, body);

    m_page = "<FixedPage xmlns=\"http://schemas.microsoft.com/xps/2005/06\" "
             "xmlns:x=\"http://schemas.microsoft.com/xps/2005/06/resourcedictionary-key\" xml:lang=\"und\" "
             "Width=\""
        + number(m_width) + "\" Height=\"" + number(m_height) + "\">";
    if (!m_geometries.empty()) {
        m_page += "<FixedPage.Resources><ResourceDictionary>";
        for (const auto& [key, figures] : m_geometries) {
            if (!figures.empty())
                m_page += "<PathGeometry x:Key=\"" + key + "\" FillRule=\"NonZero\" Figures=\"" + figures
                    + "\"/>";
        }
        m_page += "</ResourceDictionary></FixedPage.Resources>";
    }
    m_page += "<Canvas" + transformAttribute(userToPage) + ">" + body + "</Canvas></FixedPage>";
    return true;
}

void XpsPageWriter::pageSize(const Element& root, SvgMatrix& userToPage)
{
    std::vector<double> box;
    const std::string viewBox = root.attribute("viewBox");
    const char* cursor = viewBox.c_str();
    for (;;) {
        while (*cursor == ' ' || *cursor == ',')
            ++cursor;
        char* end = nullptr;
        double value = std::strtod(cursor, &end);
        if (end == cursor)
            break;
        box.push_back(value);
        cursor = end;
    }
    bool hasBox = box.size() == 4 && box[2] > 0 && box[3] > 0;
    m_width = lengthInXpsUnits(root.attribute("width"), hasBox ? box[2] : 816);
    m_height = lengthInXpsUnits(root.attribute("height"), hasBox ? box[3] : 1056);
    if (hasBox)
        userToPage = SvgMatrix::scaling(m_width / box[2], m_height / box[3])
            * SvgMatrix::translation(-box[0], -box[1]);
}

void XpsPageWriter::element(const Element& node, const SvgStyle& inherited, std::string& out)
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

std::string XpsPageWriter::openCanvas(const Element& node, const SvgStyle& style, const SvgMatrix& transform)
{
    Mask masking = mask(node);
    std::string attributes = transformAttribute(transform) + clipAttribute(node, style)
        + opacityAttribute(style.opacity * masking.opacity);
    if (attributes.empty() && masking.brush.empty())
        return {};
    std::string markup = "<Canvas" + attributes + ">";
    if (!masking.brush.empty())
        markup += "<Canvas.OpacityMask>" + masking.brush + "</Canvas.OpacityMask>";
    return markup;
}

void XpsPageWriter::group(
    const Element& node, const SvgStyle& style, const SvgMatrix& transform, std::string& out)
{
    std::string canvas = openCanvas(node, style, transform);
    out += canvas;
    ++m_depth;
    for (const auto& child : node.children)
        element(*child, style, out);
    --m_depth;
    if (!canvas.empty())
        out += "</Canvas>";
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
        result.brush = "<ImageBrush ImageSource=\"" + part + "\" Viewbox=\"0,0," + number(pixelWidth) + ","
            + number(pixelHeight) + "\" ViewboxUnits=\"Absolute\" Viewport=\"" + number(x) + "," + number(y)
            + "," + number(numberAttribute(*picture, "width", pixelWidth)) + ","
            + number(numberAttribute(*picture, "height", pixelHeight))
            + "\" ViewportUnits=\"Absolute\" TileMode=\"None\""
            + (transform.isIdentity() ? "" : " Transform=\"" + transform.xps() + "\"") + "/>";
        return result;
    }
    if (shapeData(*content)) {
        // A uniform mask: its luminance (or, through an alpha filter, its opacity) is an opacity.
        SvgStyle style = SvgStyle().child(*content);
        double level = style.fillOpacity;
        if (!alphaFilter) {
            std::string color = XpsBrush::color(style.fill, 1).value_or("#FF000000");
            long rgb = std::strtol(color.c_str() + 3, nullptr, 16);
            level *= (0.2125 * (rgb >> 16 & 255) + 0.7154 * (rgb >> 8 & 255) + 0.0721 * (rgb & 255)) / 255;
        }
        result.opacity = level;
    }
    return result;
}

void XpsPageWriter::use(const Element& node, const SvgStyle& inherited, std::string& out)
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
    std::string canvas = openCanvas(node, style, transform);
    out += canvas;
    ++m_depth;
    style.opacity = 1;
    element(*target, style, out);
    --m_depth;
    if (!canvas.empty())
        out += "</Canvas>";
}

void XpsPageWriter::glyph(
    const Element& symbol, const SvgStyle& style, const SvgMatrix& transform, std::string& out)
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
    const SvgMatrix& transform, std::string& out)
{
    std::string elements;
    std::string paint = paintAttribute("Fill", style.fill, style.fillOpacity, elements);
    if (style.strokeWidth > 0) {
        std::string stroke = paintAttribute("Stroke", style.stroke, style.strokeOpacity, elements);
        if (!stroke.empty())
            paint += stroke + strokeAttributes(style);
    }
    if (paint.empty() && elements.empty())
        return;
    out += "<Path Data=\"" + data + "\"" + paint + transformAttribute(transform) + clipAttribute(node, style)
        + opacityAttribute(style.opacity);
    out += elements.empty() ? "/>" : ">" + elements + "</Path>";
}

std::string XpsPageWriter::paintAttribute(
    const char* property, const std::string& paint, double opacity, std::string& elements)
{
    if (auto color = XpsBrush::color(paint, opacity))
        return std::string(" ") + property + "=\"" + *color + "\"";
    if (const Element* gradient = m_document.referenced(paint)) {
        std::string brush = XpsBrush::gradient(*gradient, m_document, opacity);
        if (!brush.empty())
            elements += std::string("<Path.") + property + ">" + brush + "</Path." + property + ">";
    }
    return {};
}

std::string XpsPageWriter::strokeAttributes(const SvgStyle& style)
{
    std::string cap = style.lineCap == "round" ? "Round" : style.lineCap == "square" ? "Square" : "Flat";
    std::string join = style.lineJoin == "round" ? "Round" : style.lineJoin == "bevel" ? "Bevel" : "Miter";
    std::string out = " StrokeThickness=\"" + number(style.strokeWidth) + "\" StrokeStartLineCap=\"" + cap
        + "\" StrokeEndLineCap=\"" + cap + "\" StrokeDashCap=\"" + cap + "\" StrokeLineJoin=\"" + join + "\"";
    if (join == "Miter")
        out += " StrokeMiterLimit=\"" + number(std::max(1.0, style.miterLimit)) + "\"";
    // XPS measures dashes in stroke widths; an odd SVG list repeats to become even.
    std::vector<double> dashes = style.dashes;
    if (dashes.size() % 2 == 1)
        dashes.insert(dashes.end(), style.dashes.begin(), style.dashes.end());
    double total = 0;
    for (double dash : dashes)
        total += dash;
    if (!dashes.empty() && total > 0) {
        out += " StrokeDashArray=\"";
        for (size_t i = 0; i < dashes.size(); ++i)
            out += (i ? " " : "") + number(dashes[i] / style.strokeWidth);
        out += "\" StrokeDashOffset=\"" + number(style.dashOffset / style.strokeWidth) + "\"";
    }
    return out;
}

std::string XpsPageWriter::clipAttribute(const Element& node, const SvgStyle& style)
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
        return " Clip=\"M 0,0 L 0,0 Z\"";
    return " Clip=\"" + outline.xps(nonZero) + "\"";
}

void XpsPageWriter::image(const Element& node, const SvgMatrix& transform, std::string& out)
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
    std::string viewport = number(x) + "," + number(y) + "," + number(width) + "," + number(height);
    out += "<Path Data=\"" + SvgPathData::rectangle(x, y, width, height).xps(false) + "\""
        + transformAttribute(transform) + opacityAttribute(SvgStyle().child(node).opacity) + "><Path.Fill>"
        + "<ImageBrush ImageSource=\"" + part + "\" Viewbox=\"0,0," + number(pixelWidth) + ","
        + number(pixelHeight) + "\" ViewboxUnits=\"Absolute\" Viewport=\"" + viewport
        + "\" ViewportUnits=\"Absolute\" TileMode=\"None\"/></Path.Fill></Path>";
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
