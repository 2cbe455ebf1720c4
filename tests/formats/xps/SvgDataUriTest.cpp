#include "formats/xps/SvgDataUri.h"

#include <gtest/gtest.h>

using formats::svg::SvgDataUri;

namespace {

std::optional<std::string> decoded(const std::string& data)
{
    return SvgDataUri::bytes("data:image/png;base64," + data);
}

}

// Catches wrong padding or alphabet, a decoder that accepts garbage, and line breaks that
// writers put into long URIs taken for damage.
TEST(SvgDataUri, DecodesBase64AndSkipsWhiteSpace)
{
    EXPECT_EQ(decoded("Zm9v\r\nYmE="), "fooba");
    EXPECT_EQ(decoded(" Zm9v\tYmFy\f\n"), "foobar");
    EXPECT_EQ(decoded(""), "");
    EXPECT_EQ(decoded("//4A"), std::string("\xff\xfe\x00", 3));
    EXPECT_EQ(decoded("__4A"), std::string("\xff\xfe\x00", 3));
    EXPECT_FALSE(decoded("Zm9v!").has_value());
    EXPECT_FALSE(decoded("Z").has_value());
    EXPECT_FALSE(decoded("Zm9v=YmE=").has_value());
}

// Catches a reference to a file, or data in another encoding, read as if it were the image.
TEST(SvgDataUri, TakesOnlyBase64DataUris)
{
    EXPECT_EQ(SvgDataUri::bytes("data:image/jpeg;base64,Zm9v"), "foo");
    EXPECT_FALSE(SvgDataUri::bytes("file:///etc/passwd").has_value());
    EXPECT_FALSE(SvgDataUri::bytes("file:///etc/passwd,Zm9v").has_value());
    EXPECT_FALSE(SvgDataUri::bytes("data:image/png,Zm9v").has_value());
    EXPECT_FALSE(SvgDataUri::bytes("data:image/png;base64").has_value());
}

// Catches a decoder that reads '-' and '_' as '+' and '/' within one text: no encoder mixes the
// alphabets, so such data is damaged or made to slip past a filter.
TEST(SvgDataUri, RefusesMixedAlphabets)
{
    EXPECT_EQ(decoded("+/+/"), std::string("\xfb\xff\xbf", 3));
    EXPECT_EQ(decoded("-_-_"), std::string("\xfb\xff\xbf", 3));
    EXPECT_FALSE(decoded("-/+/").has_value());
    EXPECT_FALSE(decoded("+_+/").has_value());
    EXPECT_FALSE(decoded("Zm9v\r\n-_+/").has_value());
}
