#include "platform/CodePageConverter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool convert(const std::string& input, std::string& output, size_t capacity)
{
    platform::CodePageConverter converter;
    if (!converter.initialise("UTF-8", platform::narrowCodePage()))
        return false;
    std::string buffer(capacity, '\0');
    size_t written = 0;
    if (!converter.convert(input.data(), input.size(), buffer.data(), buffer.size(), written))
        return false;
    output = buffer.substr(0, written);
    return true;
}

}

// Catches narrow text taken from the process locale, which would turn non-ASCII owners into
// question marks or failures under the "C" locale.
TEST(CodePageConverter, NarrowTextIsUtf8AndKeepsEveryCharacter)
{
    EXPECT_STREQ(platform::narrowCodePage(), "UTF-8");
    std::string output;
    std::string input = "\xE5\xB1\xB1\xE7\x94\xB0 \xC3\x85sa";
    ASSERT_TRUE(convert(input, output, 64));
    EXPECT_EQ(output, input);
}

// Catches damaged text slipping through or output written past the room given.
TEST(CodePageConverter, InvalidInputAndLackOfRoomFail)
{
    std::string output;
    EXPECT_FALSE(convert("ok \xFF\xFE bad", output, 64));
    EXPECT_FALSE(convert("\xE5\xB1", output, 64));
    EXPECT_FALSE(convert("twelve bytes", output, 5));
    EXPECT_TRUE(convert("twelve bytes", output, 12));
    platform::CodePageConverter unknown;
    EXPECT_FALSE(unknown.initialise("UTF-8", "NO-SUCH-CHARSET"));
    size_t written = 0;
    char buffer[4];
    EXPECT_FALSE(unknown.convert("a", 1, buffer, sizeof(buffer), written));
}
