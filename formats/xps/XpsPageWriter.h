#pragma once

#include "formats/xps/SvgDocument.h"
#include "formats/xps/SvgMatrix.h"
#include "formats/xps/SvgStyle.h"

#include <map>
#include <set>
#include <string>
#include <vector>

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

    const std::string& fixedPage() const { return m_page; }
    // The page's size in XPS units (1/96 inch).
    double width() const { return m_width; }
    double height() const { return m_height; }
    const std::vector<Image>& images() const { return m_images; }

private:
    void element(const svg::Element& node, const svg::SvgStyle& inherited, std::string& out);
    void group(const svg::Element& node, const svg::SvgStyle& style, const svg::SvgMatrix& transform,
        std::string& out);
    void use(const svg::Element& node, const svg::SvgStyle& style, std::string& out);
    void path(const std::string& data, const svg::Element& node, const svg::SvgStyle& style,
        const svg::SvgMatrix& transform, std::string& out);
    void glyph(const svg::Element& symbol, const svg::SvgStyle& style, const svg::SvgMatrix& transform,
        std::string& out);
    void image(const svg::Element& image, const svg::SvgMatrix& transform, std::string& out);
    struct Mask {
        double opacity = 1;
        std::string brush; // an ImageBrush carrying the mask in its alpha channel
    };
    Mask mask(const svg::Element& node);
    std::string openCanvas(const svg::Element& node, const svg::SvgStyle& style, const svg::SvgMatrix& transform);
    std::string clipAttribute(const svg::Element& node, const svg::SvgStyle& style);
    std::string paintAttribute(const char* property, const std::string& paint, double opacity,
        std::string& elements);
    std::string strokeAttributes(const svg::SvgStyle& style);
    std::string imagePart(const svg::Element& image);
    void pageSize(const svg::Element& root, svg::SvgMatrix& userToPage);

    svg::SvgDocument m_document;
    int m_pageNumber = 0;
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
