#include "formats/xps/SvgNumber.h"
#include "formats/xps/SvgShapes.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

using formats::svg::number;
using formats::svg::SvgNumber;

// Catches numbers written with the locale's decimal comma ("1,5", "816,"), which no XPS reader
// takes; the whole test program runs under a comma locale.
TEST(SvgNumber, WritesAPeriodWhateverTheLocale)
{
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(number(1.5), "1.5");
    EXPECT_EQ(number(816), "816");
    EXPECT_EQ(number(4.0 / 3), "1.333333");
    EXPECT_EQ(number(-0.25), "-0.25");
    // Rounding to six decimals leaves no negative zero and no trailing period.
    EXPECT_EQ(number(-0.0000001), "0");
    EXPECT_EQ(number(2.9999999), "3");
    EXPECT_EQ(number(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(number(std::numeric_limits<double>::infinity()), "0");
    // Large values keep all their digits instead of being cut at a buffer's end.
    EXPECT_EQ(number(1e20), "100000000000000000000");
    EXPECT_EQ(number(-1e300).size(), 302u);
}

// Catches decimals read through the locale, which takes "1.5" for 1 under a comma locale, and
// readings that take more or less than an SVG number.
TEST(SvgNumber, ReadsSvgNumbersWhateverTheLocale)
{
    std::string_view text = " -2.5px";
    EXPECT_EQ(SvgNumber::read(text), -2.5);
    EXPECT_EQ(text, "px");
    for (auto [given, value, rest] : { std::tuple { "+.5e1", 5.0, "" }, { "1.5.5", 1.5, ".5" },
             { "1e", 1.0, "e" }, { "7,5", 7.0, ",5" }, { "0x10", 0.0, "x10" }, { "-0", 0.0, "" } }) {
        std::string_view number = given;
        EXPECT_EQ(SvgNumber::read(number), value) << given;
        EXPECT_EQ(number, rest) << given;
    }
    // No number at all, or none that a double holds: nothing is taken.
    for (const char* given : { "", "px", ".", "-", "+-1", "inf", "-nan", "1e999", ",5" }) {
        std::string_view number = given;
        EXPECT_EQ(SvgNumber::read(number), std::nullopt) << given;
        EXPECT_EQ(number, given);
    }
    EXPECT_EQ(SvgNumber::parse("0.75", 1), 0.75);
    EXPECT_EQ(SvgNumber::parse("none", 1), 1);
    EXPECT_EQ(SvgNumber::list("0 0,612.5\t792.25 x 3"), (std::vector<double> { 0, 0, 612.5, 792.25 }));
    EXPECT_EQ(formats::svg::lengthInXpsUnits("612.75pt", 0), 817);
    EXPECT_EQ(formats::svg::lengthInXpsUnits("2.54cm", 0), 96);
}
