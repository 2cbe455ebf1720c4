#include "formats/xps/XpsBrush.h"

#include "formats/xps/SvgMatrix.h"
#include "formats/xps/SvgNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <pugixml.hpp>

namespace formats::svg {

namespace {

int channel(double value)
{
    return std::clamp(static_cast<int>(std::lround(value)), 0, 255);
}

std::optional<std::string> rgbText(int red, int green, int blue, double opacity)
{
    char text[16];
    std::snprintf(text, sizeof(text), "#%02X%02X%02X%02X", channel(opacity * 255), red, green, blue);
    return std::string(text);
}

double attributeNumber(const Element& element, const char* name, double fallback)
{
    std::string text = element.attribute(name);
    std::string_view rest = text;
    std::optional<double> value = SvgNumber::read(rest);
    if (!value)
        return fallback;
    return rest.substr(0, 1) == "%" ? *value / 100 : *value;
}

// The stops of a gradient, taken from the gradient it refers to when it has none itself.
const Element* stopOwner(const Element& gradient, const SvgDocument& document)
{
    const Element* current = &gradient;
    for (int depth = 0; current && depth < 8; ++depth) {
        bool hasStops = std::any_of(current->children.begin(), current->children.end(),
            [](const auto& child) { return child->name == "stop"; });
        if (hasStops)
            return current;
        current = document.referenced(current->attribute("href"));
    }
    return nullptr;
}

void appendStops(const Element& owner, double opacity, pugi::xml_node parent)
{
    pugi::xml_node first;
    double last = 0;
    for (const auto& child : owner.children) {
        if (child->name != "stop")
            continue;
        std::string color = child->attribute("stop-color");
        double stopOpacity = attributeNumber(*child, "stop-opacity", 1);
        std::string declarations = child->attribute("style");
        for (size_t start = 0; start < declarations.size();) {
            size_t end = std::min(declarations.find(';', start), declarations.size());
            std::string declaration = declarations.substr(start, end - start);
            size_t colon = declaration.find(':');
            if (colon != std::string::npos) {
                std::string name = declaration.substr(0, colon);
                name.erase(0, name.find_first_not_of(' '));
                std::string value = declaration.substr(colon + 1);
                if (name == "stop-color")
                    color = value;
                else if (name == "stop-opacity")
                    stopOpacity = SvgNumber::parse(value, 0);
            }
            start = end + 1;
        }
        // Offsets never decrease (SVG clamps them to the previous one).
        last = std::clamp(attributeNumber(*child, "offset", 0), last, 1.0);
        auto xpsColor = XpsBrush::color(color.empty() ? "black" : color, stopOpacity * opacity);
        pugi::xml_node stop = parent.append_child("GradientStop");
        stop.append_attribute("Color") = xpsColor.value_or("#00000000").c_str();
        stop.append_attribute("Offset") = number(last).c_str();
        if (!first)
            first = stop;
    }
    if (first && first == parent.last_child())
        parent.append_copy(first); // XPS wants two stops at least
}

}

std::optional<std::string> XpsBrush::color(const std::string& paint, double opacity)
{
    opacity = std::clamp(opacity, 0.0, 1.0);
    if (paint.rfind("rgb(", 0) == 0) {
        double values[3] = {};
        std::string_view rest = std::string_view(paint).substr(4);
        for (double& value : values) {
            while (!rest.empty() && (rest.front() == ' ' || rest.front() == ','))
                rest.remove_prefix(1);
            std::optional<double> read = SvgNumber::read(rest);
            if (!read)
                return std::nullopt;
            value = *read;
            if (!rest.empty() && rest.front() == '%') {
                value = value * 255 / 100;
                rest.remove_prefix(1);
            }
        }
        return rgbText(channel(values[0]), channel(values[1]), channel(values[2]), opacity);
    }
    if (!paint.empty() && paint[0] == '#') {
        std::string hex = paint.substr(1);
        if (hex.size() == 3)
            hex = { hex[0], hex[0], hex[1], hex[1], hex[2], hex[2] };
        if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return std::nullopt;
        long value = 0;
        std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
        return rgbText(value >> 16 & 255, value >> 8 & 255, value & 255, opacity);
    }
    static const std::pair<const char*, long> names[]
        = { { "black", 0x000000 }, { "white", 0xFFFFFF }, { "red", 0xFF0000 }, { "green", 0x008000 },
              { "blue", 0x0000FF }, { "gray", 0x808080 }, { "grey", 0x808080 }, { "yellow", 0xFFFF00 } };
    for (const auto& [name, value] : names) {
        if (paint == name)
            return rgbText(value >> 16 & 255, value >> 8 & 255, value & 255, opacity);
    }
    return std::nullopt;
}

bool XpsBrush::gradient(
    const Element& gradient, const SvgDocument& document, double opacity, pugi::xml_node parent)
{
    bool linear = gradient.name == "linearGradient";
    if ((!linear && gradient.name != "radialGradient")
        || gradient.attribute("gradientUnits") != "userSpaceOnUse")
        return false;
    const Element* owner = stopOwner(gradient, document);
    if (!owner)
        return false;
    std::string spread = gradient.attribute("spreadMethod");
    std::string method = spread == "reflect" ? "Reflect" : spread == "repeat" ? "Repeat" : "Pad";
    std::string name = linear ? "LinearGradientBrush" : "RadialGradientBrush";
    pugi::xml_node brush = parent.append_child(name.c_str());
    brush.append_attribute("MappingMode") = "Absolute";
    brush.append_attribute("SpreadMethod") = method.c_str();
    SvgMatrix transform = SvgMatrix::parse(gradient.attribute("gradientTransform"));
    if (!transform.isIdentity())
        brush.append_attribute("Transform") = transform.xps().c_str();
    auto point = [](double x, double y) { return number(x) + "," + number(y); };
    if (linear) {
        brush.append_attribute("StartPoint")
            = point(attributeNumber(gradient, "x1", 0), attributeNumber(gradient, "y1", 0)).c_str();
        brush.append_attribute("EndPoint")
            = point(attributeNumber(gradient, "x2", 1), attributeNumber(gradient, "y2", 0)).c_str();
    } else {
        double cx = attributeNumber(gradient, "cx", 0.5), cy = attributeNumber(gradient, "cy", 0.5);
        double r = attributeNumber(gradient, "r", 0.5);
        brush.append_attribute("Center") = point(cx, cy).c_str();
        brush.append_attribute("GradientOrigin")
            = point(attributeNumber(gradient, "fx", cx), attributeNumber(gradient, "fy", cy)).c_str();
        brush.append_attribute("RadiusX") = number(r).c_str();
        brush.append_attribute("RadiusY") = number(r).c_str();
    }
    appendStops(*owner, opacity, brush.append_child((name + ".GradientStops").c_str()));
    return true;
}

}
