#pragma once

#include "formats/xps/SvgMatrix.h"

#include <string>
#include <string_view>
#include <vector>

namespace formats::svg {

// The geometry of an SVG path in absolute commands (M, L, C, Q, A, Z), converted to the
// abbreviated geometry syntax of XPS Path Data and PathGeometry Figures.
class SvgPathData {
public:
    struct Segment {
        char command; // M L C Q A Z
        // M, L: x y; C: x1 y1 x2 y2 x y; Q: x1 y1 x y; A: rx ry rotation large sweep x y
        double values[7];
    };

    // Parses the d attribute. As SVG renderers do, what precedes a syntax error is kept.
    static SvgPathData parse(std::string_view data);
    static SvgPathData rectangle(double x, double y, double width, double height);

    void append(const SvgPathData& other);
    void transform(const SvgMatrix& matrix);
    // True when no segment draws anything.
    bool isEmpty() const;
    // Abbreviated syntax, led by "F 1" for the non-zero fill rule (XPS defaults to even-odd).
    std::string xps(bool nonZero) const;
    const std::vector<Segment>& segments() const { return m_segments; }

private:
    std::vector<Segment> m_segments;
};

}
