#include "platform/PercentEncoding.h"

#include <gtest/gtest.h>

using namespace platform;

// Catches a reserved character or a byte that is not UTF-8 left bare, the unreserved ones or
// '/' escaped, lower-case digits, and an invalid escape that spoils the rest of the text.
TEST(PercentEncoding, PathsAreEscapedAndEscapesDecoded)
{
    EXPECT_EQ(percentEncoding::encodedPath("/sub dir/a-b_c.~d/\xC3\xA9#?%;\xFF.png"),
        "/sub%20dir/a-b_c.~d/%C3%A9%23%3F%25%3B%FF.png");
    EXPECT_EQ(percentEncoding::decoded("a%20b%2Fc%zz%e9"), "a b/c%zz\xE9");
    EXPECT_EQ(percentEncoding::decoded("%4"), "%4");
}
