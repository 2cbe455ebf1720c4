#include "foundation/Guid.h"
#include "foundation/String.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

// Catches a GUID that is not in the registry form: length, braces, hyphen positions, digit case,
// and the version and variant marks of a random GUID.
TEST(Guid, RegistryFormWithVersionFourMarks)
{
    Guid guid;
    String text;
    ASSERT_TRUE(guid.create(text));
    ASSERT_EQ(text.getLength(), Guid::Length);
    std::string value = text.getText();
    EXPECT_TRUE(std::regex_match(
        value, std::regex("^\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}\\}$")))
        << value;
    EXPECT_EQ(value[9], '-');
    EXPECT_EQ(value[14], '-');
    EXPECT_EQ(value[19], '-');
    EXPECT_EQ(value[24], '-');
}

// Catches a source of bytes that repeats (a fixed seed, an unfilled buffer), which would give two
// backups the same name.
TEST(Guid, SuccessiveGuidsDiffer)
{
    Guid guid;
    std::set<std::string> seen;
    for (int index = 0; index < 10000; ++index) {
        String text;
        ASSERT_TRUE(guid.create(text));
        seen.insert(text.getText());
    }
    EXPECT_EQ(seen.size(), 10000u);
}

// Catches create appending to the output or leaving an old value in it.
TEST(Guid, CreateReplacesTheOutput)
{
    Guid guid;
    String text("previous value");
    ASSERT_TRUE(guid.create(text));
    EXPECT_EQ(text.getLength(), Guid::Length);
    EXPECT_EQ(text.getText()[0], '{');
    EXPECT_EQ(text.getText()[Guid::Length - 1], '}');
}
