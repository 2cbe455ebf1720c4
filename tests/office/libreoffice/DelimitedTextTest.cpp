#include "office/libreoffice/DelimitedText.h"

#include <gtest/gtest.h>

using office::DelimitedText;
using Charset = DelimitedText::Charset;

// Catches a table read with the wrong separator (one column, or cells split inside a quoted or
// decimal-comma field) or character set, and noise or a binary file taken for a table.
TEST(DelimitedTextTest, SeparatorAndCharsetAreThoseOfTheTable)
{
    const std::tuple<std::string, bool, char, Charset> tables[] = {
        { "Name,Note\n\"Smith, J\",\"a;b\"\nJones,c\n", false, ',', Charset::Utf8 },
        { "Name;Betrag\nM\xC3\xBCller;1234,5\nSchmidt;7\n", false, ';', Charset::Utf8 },
        { "Name\tNote\r\nM\xFCller\ta, b\r\n", false, '\t', Charset::Windows1252 },
        { "a|b|c\n1|2|3\n", false, '|', Charset::Utf8 },
        { "a;\"x\ny;z\"\n1;2\n", false, ';', Charset::Utf8 },
        { "\xEF\xBB\xBFName\nSmith\n", false, ',', Charset::Utf8 },
        // The read ended inside the last character; what comes before it is UTF-8.
        { "a,b\n\xC3\xBC,c\n\xC3", true, ',', Charset::Utf8 },
        { std::string("\xFF\xFEx\0\t\0\xFC\0\n\0", 10), false, '\t', Charset::Utf16 },
        { std::string("\xFE\xFF\0x\0;\0y\0\n", 10), false, ';', Charset::Utf16 },
    };
    for (const auto& [bytes, truncated, separator, charset] : tables) {
        std::optional<DelimitedText> found = DelimitedText::of(bytes, truncated);
        ASSERT_TRUE(found) << bytes;
        EXPECT_EQ(found->separator, separator) << bytes;
        EXPECT_EQ(found->charset, charset) << bytes;
    }
    EXPECT_EQ(DelimitedText::of("a;b\n", false)->calcImportOptions(), "59,34,76,1,,0,false,false");
    for (const std::string& notText : { std::string("PK\x03\x04\x14\0\x06\0", 8), std::string(" \r\n\t\n"),
             std::string("a,b\n\x01,c\n"), std::string("\xFF\xFE\x01\0", 4) })
        EXPECT_FALSE(DelimitedText::of(notText, false)) << notText;
}
