#include "formats/xps/SvgStyle.h"

#include "formats/xps/SvgNumber.h"

#include <utility>

namespace formats::svg {

namespace {

std::string trimmed(const std::string& text)
{
    size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string::npos)
        return {};
    return text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1);
}

void apply(SvgStyle& style, const std::string& name, const std::string& value)
{
    if (value == "inherit")
        return;
    if (name == "fill")
        style.fill = value;
    else if (name == "fill-opacity")
        style.fillOpacity = SvgNumber::parse(value, 1);
    else if (name == "fill-rule")
        style.fillNonZero = value != "evenodd";
    else if (name == "stroke")
        style.stroke = value;
    else if (name == "stroke-opacity")
        style.strokeOpacity = SvgNumber::parse(value, 1);
    else if (name == "stroke-width")
        style.strokeWidth = SvgNumber::parse(value, 1);
    else if (name == "stroke-linecap")
        style.lineCap = value;
    else if (name == "stroke-linejoin")
        style.lineJoin = value;
    else if (name == "stroke-miterlimit")
        style.miterLimit = SvgNumber::parse(value, 4);
    else if (name == "stroke-dashoffset")
        style.dashOffset = SvgNumber::parse(value, 0);
    else if (name == "clip-rule")
        style.clipNonZero = value != "evenodd";
    else if (name == "opacity")
        style.opacity = SvgNumber::parse(value, 1);
    else if (name == "stroke-dasharray")
        style.dashes = SvgNumber::list(value);
}

}

SvgStyle SvgStyle::child(const Element& element) const
{
    SvgStyle style = *this;
    style.opacity = 1;
    static const char* const properties[] = { "fill", "fill-opacity", "fill-rule", "stroke", "stroke-opacity",
        "stroke-width", "stroke-linecap", "stroke-linejoin", "stroke-miterlimit", "stroke-dasharray",
        "stroke-dashoffset", "clip-rule", "opacity" };
    for (const char* property : properties) {
        if (element.has(property))
            apply(style, property, trimmed(element.attribute(property)));
    }
    std::string declarations = element.attribute("style");
    size_t start = 0;
    while (start < declarations.size()) {
        size_t end = declarations.find(';', start);
        end = end == std::string::npos ? declarations.size() : end;
        std::string declaration = declarations.substr(start, end - start);
        size_t colon = declaration.find(':');
        if (colon != std::string::npos)
            apply(style, trimmed(declaration.substr(0, colon)), trimmed(declaration.substr(colon + 1)));
        start = end + 1;
    }
    return style;
}

}
