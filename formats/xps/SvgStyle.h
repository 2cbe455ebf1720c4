#pragma once

#include "formats/xps/SvgDocument.h"

#include <string>
#include <vector>

namespace formats::svg {

// The painting properties of an element after inheritance from its ancestors, from both the
// presentation attributes and the style attribute (which wins).
struct SvgStyle {
    std::string fill = "black"; // "none", a colour, or url(#id)
    double fillOpacity = 1;
    bool fillNonZero = true;
    std::string stroke = "none";
    double strokeOpacity = 1;
    double strokeWidth = 1;
    std::string lineCap = "butt";
    std::string lineJoin = "miter";
    double miterLimit = 4;
    std::vector<double> dashes;
    double dashOffset = 0;
    bool clipNonZero = true;
    // Not inherited: applies to the element as a whole.
    double opacity = 1;

    // The style of element, a child of an element styled like this one.
    SvgStyle child(const Element& element) const;
};

}
