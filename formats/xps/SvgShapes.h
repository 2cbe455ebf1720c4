#pragma once

#include "formats/xps/SvgDocument.h"
#include "formats/xps/SvgPathData.h"

#include <optional>
#include <string>

namespace formats::svg {

// A number attribute; fallback when it is absent or no number.
double numberAttribute(const Element& element, const char* name, double fallback);
// A length with its unit in XPS units (1/96 inch); plain numbers and px are already those.
double lengthInXpsUnits(const std::string& text, double fallback);
// The outline of a basic shape element (path, rect, line, polyline, polygon, circle, ellipse),
// or nullopt for an element that is no shape.
std::optional<SvgPathData> shapeData(const Element& node);

}
