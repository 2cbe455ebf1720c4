#include "formats/xps/SvgPathData.h"
#include "formats/xps/SvgMatrix.h"
#include "formats/xps/XpsBrush.h"
#include "formats/xps/XpsMarkup.h"

#include <cmath>
#include <gtest/gtest.h>
#include <pugixml.hpp>

using namespace formats::svg;

namespace {

// The markup of the brush that XpsBrush writes for gradient; empty when it writes none.
std::string gradientMarkup(const Element& gradient, const SvgDocument& document, double opacity)
{
    pugi::xml_document holder;
    pugi::xml_node parent = holder.append_child("Holder");
    bool written = XpsBrush::gradient(gradient, document, opacity, parent);
    EXPECT_EQ(written, static_cast<bool>(parent.first_child()));
    return written ? formats::XpsMarkup::text(parent.first_child()) : std::string();
}

}

// Catches relative commands resolved against the wrong point and shorthand commands dropped.
TEST(SvgPathData, RelativeAndShorthandCommandsBecomeAbsolute)
{
    EXPECT_EQ(SvgPathData::parse("M 10 20 l 5 0 h 5 v -10 H 0 V 0 z").xps(false),
        "M 10,20 L 15,20 L 20,20 L 20,10 L 0,10 L 0,0 Z");
    // Pairs after a move are lines; relative moves start from the current point.
    EXPECT_EQ(SvgPathData::parse("m1,1 2,2 m 1 1").xps(false), "M 1,1 L 3,3");
    // S reflects the previous control point, T the previous quadratic one.
    EXPECT_EQ(SvgPathData::parse("M0 0 C 0 1 1 1 1 0 S 2 -1 2 0").xps(false),
        "M 0,0 C 0,1 1,1 1,0 C 1,-1 2,-1 2,0");
    EXPECT_EQ(SvgPathData::parse("M0 0 Q 1 1 2 0 T 4 0").xps(false), "M 0,0 Q 1,1 2,0 Q 3,-1 4,0");
    // Exponents, signs without separators, and packed arc flags.
    EXPECT_EQ(SvgPathData::parse("M1e1-2.5L.5.5").xps(false), "M 10,-2.5 L 0.5,0.5");
    EXPECT_EQ(SvgPathData::parse("M0 0 a5 5 0 1010 0").xps(true), "F 1 M 0,0 A 5,5 0 1 0 10,0");
}

// Catches a figure drawn on after a close without the start point XPS needs, and cairo's
// dangling final move written out as an empty figure.
TEST(SvgPathData, FiguresAfterCloseAndTrailingMoves)
{
    EXPECT_EQ(SvgPathData::parse("M 1 1 L 2 1 L 2 2 Z l 1 0 Z M 1 1").xps(false),
        "M 1,1 L 2,1 L 2,2 Z M 1,1 L 2,1 Z");
    EXPECT_TRUE(SvgPathData::parse("M 1 1 Z M 2 2").isEmpty());
    // A syntax error keeps what came before, as SVG renderers do.
    EXPECT_EQ(SvgPathData::parse("M 0 0 L 1 1 L 2 x 3 3").xps(false), "M 0,0 L 1,1");
}

// Catches transforms applied in the wrong order or to the wrong coordinates.
TEST(SvgMatrix, ParsesAndComposesTransforms)
{
    SvgMatrix flip = SvgMatrix::parse("matrix(1,0,0,-1,0,792)");
    double x = 10, y = 700;
    flip.apply(x, y);
    EXPECT_DOUBLE_EQ(x, 10);
    EXPECT_DOUBLE_EQ(y, 92);
    // translate then scale: the scale acts first on the point.
    SvgMatrix both = SvgMatrix::parse("translate(5 6) scale(2)");
    x = 1;
    y = 1;
    both.apply(x, y);
    EXPECT_DOUBLE_EQ(x, 7);
    EXPECT_DOUBLE_EQ(y, 8);
    SvgMatrix turn = SvgMatrix::parse("rotate(90, 10, 10)");
    x = 20;
    y = 10;
    turn.apply(x, y);
    EXPECT_NEAR(x, 10, 1e-9);
    EXPECT_NEAR(y, 20, 1e-9);
    EXPECT_EQ(
        SvgMatrix::parse("matrix(0.482143,0,0,0.482143,90,35.95)").xps(), "0.482143,0,0,0.482143,90,35.95");
    EXPECT_EQ(number(0.000000000000028422), "0");
    EXPECT_TRUE(SvgMatrix::parse("bogus(1)").isIdentity());

    SvgPathData path = SvgPathData::parse("M 0 0 L 10 0");
    path.transform(SvgMatrix::parse("scale(2) translate(1,1)"));
    EXPECT_EQ(path.xps(false), "M 2,2 L 22,2");
}

// Catches colours off by rounding, lost opacity, or gradients without their stops.
TEST(XpsBrush, ColoursAndGradients)
{
    EXPECT_EQ(XpsBrush::color("rgb(100%,0%,50%)", 1), "#FFFF0080");
    EXPECT_EQ(XpsBrush::color("rgb(18.370056%,37.893677%,61.090088%)", 0.5), "#802F619C");
    EXPECT_EQ(XpsBrush::color("#abc", 1), "#FFAABBCC");
    EXPECT_EQ(XpsBrush::color("black", 0), "#00000000");
    EXPECT_FALSE(XpsBrush::color("none", 1).has_value());
    EXPECT_FALSE(XpsBrush::color("url(#linear0)", 1).has_value());

    SvgDocument document;
    std::string error;
    ASSERT_TRUE(
        document.parse("<svg xmlns='http://www.w3.org/2000/svg'><linearGradient id='g' "
                       "gradientUnits='userSpaceOnUse' x1='0' y1='1' x2='0' y2='9' "
                       "gradientTransform='matrix(1,0,0,-1,2,3)'><stop offset='0' "
                       "style='stop-color:rgb(100%,0%,0%);stop-opacity:1;'/><stop offset='1' "
                       "stop-color='#0000ff' stop-opacity='0.5'/></linearGradient>"
                       "<radialGradient id='r' gradientUnits='userSpaceOnUse' cx='5' cy='6' r='7' fx='1' "
                       "fy='2'><stop offset='0.5' stop-color='white'/></radialGradient></svg>",
            error))
        << error;
    EXPECT_EQ(gradientMarkup(*document.byId("g"), document, 1),
        "<LinearGradientBrush MappingMode=\"Absolute\" SpreadMethod=\"Pad\" Transform=\"1,0,0,-1,2,3\" "
        "StartPoint=\"0,1\" EndPoint=\"0,9\"><LinearGradientBrush.GradientStops><GradientStop "
        "Color=\"#FFFF0000\" "
        "Offset=\"0\"/><GradientStop Color=\"#800000FF\" Offset=\"1\"/></LinearGradientBrush.GradientStops>"
        "</LinearGradientBrush>");
    std::string radial = gradientMarkup(*document.byId("r"), document, 1);
    EXPECT_NE(
        radial.find("Center=\"5,6\" GradientOrigin=\"1,2\" RadiusX=\"7\" RadiusY=\"7\""), std::string::npos);
    // A single stop is doubled: XPS wants two.
    EXPECT_EQ(
        radial.find("<GradientStop Color=\"#FFFFFFFF\" Offset=\"0.5\"/><GradientStop Color=\"#FFFFFFFF\""),
        radial.find("<GradientStop"));
}
