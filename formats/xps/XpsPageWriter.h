#pragma once

#include "formats/xps/SvgDocument.h"
#include "formats/xps/SvgMatrix.h"
#include "formats/xps/SvgStyle.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace pugi {
class xml_node;
}

namespace formats {

// Turns one page that pdftocairo drew as SVG into the markup of an XPS FixedPage: paths stay
// vector paths, glyph outlines become shared PathGeometry resources, embedded images become
// image parts painted by ImageBrushes, clip paths become Clip geometry, gradients gradient
// brushes, image masks opacity masks. Patterns and masks of other shapes, which a page of an
// office document rarely has, are drawn without the pattern and without the mask.
class XpsPageWriter {
public:
    struct Image {
        std::string partName; // "/Resources/Images/1-2.png"
        std::string bytes;
    };

    // pageNumber names the page's image parts. False, with error, for an SVG that cannot be read.
    bool convert(const std::string& svgBytes, int pageNumber, std::string& error);
    // The language of the page's text as a BCP 47 tag; "und" (not known) unless set.
    void setLanguage(const std::string& tag) { m_language = tag.empty() ? "und" : tag; }

    const std::string& fixedPage() const { return m_page; }
    // The page's size in XPS units (1/96 inch).
    double width() const { return m_width; }
    double height() const { return m_height; }
    const std::vector<Image>& images() const { return m_images; }

private:
    void element(const svg::Element& node, const svg::SvgStyle& inherited, pugi::xml_node out);
    void group(const svg::Element& node, const svg::SvgStyle& style, const svg::SvgMatrix& transform,
        pugi::xml_node out);
    void use(const svg::Element& node, const svg::SvgStyle& style, pugi::xml_node out);
    void path(const std::string& data, const svg::Element& node, const svg::SvgStyle& style,
        const svg::SvgMatrix& transform, pugi::xml_node out);
    void glyph(const svg::Element& symbol, const svg::SvgStyle& style, const svg::SvgMatrix& transform,
        pugi::xml_node out);
    void image(const svg::Element& image, const svg::SvgMatrix& transform, pugi::xml_node out);
    // Where an image part is painted: its pixels (the Viewbox) onto a rectangle of the page.
    struct ImagePlacement {
        std::string part;
        std::string viewbox;
        std::string viewport;
        svg::SvgMatrix transform;
    };
    struct Mask {
        double opacity = 1;
        // An ImageBrush carrying the mask in its alpha channel, when part is not empty.
        ImagePlacement brush;
    };
    Mask mask(const svg::Element& node);
    // The Canvas that gives node its transform, clip, opacity and mask, appended to parent; parent
    // itself when node needs none of them.
    pugi::xml_node openCanvas(const svg::Element& node, const svg::SvgStyle& style,
        const svg::SvgMatrix& transform, pugi::xml_node parent);
    // The Clip geometry of node; empty when it has no clip path.
    std::string clipGeometry(const svg::Element& node, const svg::SvgStyle& style);
    // Sets property to a colour, or appends a gradient brush for it; true for a colour.
    bool paint(pugi::xml_node shape, const char* property, const std::string& paint, double opacity);
    void setStrokeAttributes(pugi::xml_node shape, const svg::SvgStyle& style);
    void setPlacement(
        pugi::xml_node shape, const svg::SvgMatrix& transform, const std::string& clip, double opacity);
    static void appendImageBrush(pugi::xml_node parent, const ImagePlacement& placement);
    std::string imagePart(const svg::Element& image);
    void pageSize(const svg::Element& root, svg::SvgMatrix& userToPage);

    svg::SvgDocument m_document;
    int m_pageNumber = 0;
    std::string m_language = "und";
    std::string m_page;
    double m_width = 0;
    double m_height = 0;
    std::vector<Image> m_images;
    std::map<const svg::Element*, std::string> m_imageParts;
    std::map<const svg::Element*, std::string> m_maskParts;
    // Glyph symbols used on the page, by key, with their geometry.
    std::map<std::string, std::string> m_geometries;
    int m_depth = 0;
};

}
