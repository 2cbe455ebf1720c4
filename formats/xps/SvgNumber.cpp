#include "formats/xps/SvgNumber.h"

#include <charconv>
#include <cmath>

namespace formats::svg {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

}

std::optional<double> SvgNumber::read(std::string_view& text)
{
    size_t at = 0;
    while (at < text.size() && isSpace(text[at]))
        ++at;
    bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        ++at;
    // Only digits or a period may follow the sign: from_chars would also take "inf" and "nan",
    // which are no SVG numbers.
    bool digitFollows = at < text.size() && isDigit(text[at]);
    bool periodFollows = at + 1 < text.size() && text[at] == '.' && isDigit(text[at + 1]);
    if (!digitFollows && !periodFollows)
        return std::nullopt;
    double value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data() + at, end, value, std::chars_format::general);
    if (error != std::errc())
        return std::nullopt;
    text.remove_prefix(static_cast<size_t>(stop - text.data()));
    return negative ? -value : value;
}

double SvgNumber::parse(std::string_view text, double fallback)
{
    return read(text).value_or(fallback);
}

std::vector<double> SvgNumber::list(std::string_view text)
{
    std::vector<double> values;
    for (;;) {
        while (!text.empty() && (isSpace(text.front()) || text.front() == ','))
            text.remove_prefix(1);
        std::optional<double> value = read(text);
        if (!value)
            return values;
        values.push_back(*value);
    }
}

std::string number(double value)
{
    if (!std::isfinite(value))
        return "0";
    // Room for the largest double in fixed notation: 309 digits, the sign, the period and six
    // decimals.
    char text[330];
    auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    std::string result(text, written.ptr);
    result.erase(result.find_last_not_of('0') + 1);
    if (result.back() == '.')
        result.pop_back();
    if (result == "-0")
        result = "0";
    return result;
}

}
