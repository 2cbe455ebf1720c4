#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace formats::svg {

// Numbers as SVG pages carry them and XPS markup wants them, always with a period for the
// decimal separator. printf and strtod follow the locale that the program takes from the
// environment, which would write "1,5" under a German locale and read "1.5" as 1.
struct SvgNumber {
    // The number that text starts with (after white space): an optional sign, digits with an
    // optional period, an optional exponent. text is moved past it; nullopt, with text
    // unchanged, when none is there or its value is out of the range of a double.
    static std::optional<double> read(std::string_view& text);
    // The number that text starts with; fallback when there is none.
    static double parse(std::string_view text, double fallback);
    // The numbers of a list separated by white space and commas, up to the first thing that
    // is no number.
    static std::vector<double> list(std::string_view text);
};

// Numbers as XPS markup wants them: fixed notation, at most six decimals, no trailing zeros.
std::string number(double value);

}
