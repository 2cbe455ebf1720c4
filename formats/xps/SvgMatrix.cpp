#include "formats/xps/SvgMatrix.h"

#include <cmath>
#include <vector>

namespace formats::svg {

SvgMatrix SvgMatrix::operator*(const SvgMatrix& o) const
{
    return { a * o.a + c * o.b, b * o.a + d * o.b, a * o.c + c * o.d, b * o.c + d * o.d,
        a * o.e + c * o.f + e, b * o.e + d * o.f + f };
}

void SvgMatrix::apply(double& x, double& y) const
{
    double nx = a * x + c * y + e;
    double ny = b * x + d * y + f;
    x = nx;
    y = ny;
}

bool SvgMatrix::isIdentity() const
{
    return a == 1 && b == 0 && c == 0 && d == 1 && e == 0 && f == 0;
}

double SvgMatrix::scale() const
{
    return std::sqrt(std::fabs(a * d - b * c));
}

SvgMatrix SvgMatrix::parse(std::string_view text)
{
    SvgMatrix result;
    size_t position = 0;
    while (position < text.size()) {
        size_t open = text.find('(', position);
        size_t close = open == std::string_view::npos ? open : text.find(')', open);
        if (close == std::string_view::npos)
            break;
        std::string name;
        for (char ch : text.substr(position, open - position)) {
            if (ch != ' ' && ch != ',' && ch != '\t' && ch != '\n' && ch != '\r')
                name += ch;
        }
        std::vector<double> values = SvgNumber::list(text.substr(open + 1, close - open - 1));
        SvgMatrix step;
        constexpr double degrees = 3.14159265358979323846 / 180;
        if (name == "matrix" && values.size() == 6) {
            step = { values[0], values[1], values[2], values[3], values[4], values[5] };
        } else if (name == "translate" && !values.empty()) {
            step = translation(values[0], values.size() > 1 ? values[1] : 0);
        } else if (name == "scale" && !values.empty()) {
            step = scaling(values[0], values.size() > 1 ? values[1] : values[0]);
        } else if (name == "rotate" && !values.empty()) {
            double angle = values[0] * degrees;
            step = { std::cos(angle), std::sin(angle), -std::sin(angle), std::cos(angle), 0, 0 };
            if (values.size() == 3)
                step = translation(values[1], values[2]) * step * translation(-values[1], -values[2]);
        } else if (name == "skewX" && values.size() == 1) {
            step = { 1, 0, std::tan(values[0] * degrees), 1, 0, 0 };
        } else if (name == "skewY" && values.size() == 1) {
            step = { 1, std::tan(values[0] * degrees), 0, 1, 0, 0 };
        } else {
            break;
        }
        result = result * step;
        position = close + 1;
    }
    return result;
}

std::string SvgMatrix::xps() const
{
    return number(a) + "," + number(b) + "," + number(c) + "," + number(d) + "," + number(e) + ","
        + number(f);
}

}
