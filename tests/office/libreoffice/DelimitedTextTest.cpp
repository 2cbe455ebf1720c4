#include "office/libreoffice/DelimitedText.h"

#include <gtest/gtest.h>

using office::DelimitedText;
using Charset = DelimitedText::Charset;

// Catches what the office tests of tables do not reach: separators and line ends inside quotes
// taken for the table's own, a head cut inside a character taken for Windows-1252, UTF-16 in
// big-endian order, and control characters or white space taken for a table.
TEST(DelimitedTextTest, QuotesCutsAndByteOrdersAreSeenThrough)
{
    const std::tuple<std::string, bool, char, Charset> tables[] = {
        { "Name,Note\n\"Smith, J\",\"a;b\"\nJones,c\n", false, ',', Charset::Utf8 },
        { "a;\"x\ny;z\"\n1;2\n", false, ';', Charset::Utf8 },
        { "a,b\n\xC3\xBC,c\n\xC3", true, ',', Charset::Utf8 },
        { std::string("\xFE\xFF\0x\0;\0y\0\n", 10), false, ';', Charset::Utf16 },
    };
    for (const auto& [bytes, truncated, separator, charset] : tables) {
        std::optional<DelimitedText> found = DelimitedText::of(bytes, truncated);
        ASSERT_TRUE(found) << bytes;
        EXPECT_EQ(std::pair(found->separator, found->charset), std::pair(separator, charset)) << bytes;
    }
    for (const std::string& notText :
        { std::string(" \r\n\t\n"), std::string("a,b\n\x01,c\n"), std::string("\xFF\xFE\x01\0", 4) })
        EXPECT_FALSE(DelimitedText::of(notText, false)) << notText;
}
