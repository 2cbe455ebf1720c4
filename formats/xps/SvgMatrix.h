#pragma once

#include "formats/xps/SvgNumber.h"

#include <string>
#include <string_view>

namespace formats::svg {

// An affine transform as SVG and XPS write it: x' = a x + c y + e, y' = b x + d y + f.
struct SvgMatrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    // this transform applied after other (other first, then this).
    SvgMatrix operator*(const SvgMatrix& other) const;
    void apply(double& x, double& y) const;
    bool isIdentity() const;
    // The factor by which lengths grow (square root of the determinant's magnitude).
    double scale() const;

    static SvgMatrix translation(double x, double y) { return { 1, 0, 0, 1, x, y }; }
    static SvgMatrix scaling(double x, double y) { return { x, 0, 0, y, 0, 0 }; }
    // A transform attribute: a list of matrix, translate, scale, rotate, skewX, skewY. What
    // follows a syntax error is ignored, as SVG renderers do.
    static SvgMatrix parse(std::string_view text);
    // "a,b,c,d,e,f", the XPS Matrix form.
    std::string xps() const;
};

}
