#pragma once

#include "formats/xps/SvgDocument.h"

#include <optional>
#include <string>

namespace pugi {
class xml_node;
}

namespace formats::svg {

// SVG paints as XPS brushes.
struct XpsBrush {
    // An SVG colour (rgb(%), rgb(), #rgb, #rrggbb or a basic name) with an opacity as XPS
    // "#AARRGGBB"; nullopt for "none" and anything that is no colour.
    static std::optional<std::string> color(const std::string& paint, double opacity);
    // Appends to parent a LinearGradientBrush or RadialGradientBrush element for an SVG
    // gradient, in the user space of the painted element; false, with nothing appended, when
    // the element is no gradient this can express.
    static bool gradient(
        const Element& gradient, const SvgDocument& document, double opacity, pugi::xml_node parent);
};

}
