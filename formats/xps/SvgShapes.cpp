#include "formats/xps/SvgShapes.h"

#include "formats/xps/SvgNumber.h"

namespace formats::svg {

double numberAttribute(const Element& element, const char* name, double fallback)
{
    return SvgNumber::parse(element.attribute(name), fallback);
}

double lengthInXpsUnits(const std::string& text, double fallback)
{
    std::string_view unit = text;
    std::optional<double> read = SvgNumber::read(unit);
    if (!read)
        return fallback;
    double value = *read;
    if (unit == "pt")
        return value * 96 / 72;
    if (unit == "in")
        return value * 96;
    if (unit == "mm")
        return value * 96 / 25.4;
    if (unit == "cm")
        return value * 96 / 2.54;
    if (unit == "pc")
        return value * 16;
    return value;
}

std::optional<SvgPathData> shapeData(const Element& node)
{
    if (node.name == "path")
        return SvgPathData::parse(node.attribute("d"));
    if (node.name == "rect")
        return SvgPathData::rectangle(numberAttribute(node, "x", 0), numberAttribute(node, "y", 0),
            numberAttribute(node, "width", 0), numberAttribute(node, "height", 0));
    if (node.name == "line") {
        return SvgPathData::parse("M " + node.attribute("x1") + " " + node.attribute("y1") + " L "
            + node.attribute("x2") + " " + node.attribute("y2"));
    }
    if (node.name == "polyline" || node.name == "polygon")
        return SvgPathData::parse("M " + node.attribute("points") + (node.name == "polygon" ? " Z" : ""));
    if (node.name == "circle" || node.name == "ellipse") {
        double cx = numberAttribute(node, "cx", 0), cy = numberAttribute(node, "cy", 0);
        double rx = numberAttribute(node, node.name == "circle" ? "r" : "rx", 0);
        double ry = node.name == "circle" ? rx : numberAttribute(node, "ry", 0);
        auto text = [](double value) { return number(value); };
        return SvgPathData::parse("M " + text(cx - rx) + " " + text(cy) + " A " + text(rx) + " " + text(ry)
            + " 0 1 0 " + text(cx + rx) + " " + text(cy) + " A " + text(rx) + " " + text(ry) + " 0 1 0 "
            + text(cx - rx) + " " + text(cy) + " Z");
    }
    return std::nullopt;
}

}
