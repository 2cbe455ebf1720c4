#include "foundation/String.h"
#include "foundation/StringBuffer.h"
#include "foundation/StringConverter.h"
#include "foundation/StringTokenizer.h"
#include "foundation/Trim.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> tokens(const char* text)
{
    std::vector<std::string> result;
    StringTokenizer tokenizer(text);
    String token;
    while (tokenizer.getToken(token))
        result.emplace_back(token.getText() ? token.getText() : "<null>");
    return result;
}

}

// A string never given a text must not compare equal to anything, or a missing registry value
// would look like an empty one.
TEST(String, NeverGivenATextEqualsNothing)
{
    String fromNull(nullptr);
    EXPECT_EQ(fromNull.getLength(), 0);
    EXPECT_EQ(fromNull.getText(), nullptr);
    EXPECT_FALSE(fromNull.equals(""));
    EXPECT_FALSE(fromNull.equals(nullptr));
    EXPECT_FALSE(String().equals("x"));

    String empty("");
    ASSERT_NE(empty.getText(), nullptr);
    EXPECT_TRUE(empty.equals(""));
}

TEST(String, AssignKeepsContentsOnNullAndCopiesOwnText)
{
    String path("/home/user/report.doc");
    path.assign(nullptr);
    EXPECT_STREQ(path.getText(), "/home/user/report.doc");

    path.assign(path.getText());
    EXPECT_STREQ(path.getText(), "/home/user/report.doc");
    EXPECT_EQ(path.getLength(), 21);

    path.assign("x");
    EXPECT_EQ(path.getLength(), 1);
    EXPECT_TRUE(path.equals("x"));
    EXPECT_FALSE(path.equals("X"));
}

TEST(String, CopiesAreIndependent)
{
    auto original = std::make_unique<String>("a.doc");
    String copy(*original);
    original.reset();
    EXPECT_STREQ(copy.getText(), "a.doc");
}

TEST(StringBuffer, GrowsOnceByTheIncrementAndStaysTerminated)
{
    StringBuffer buffer(1024, 256);
    for (int i = 0; i < 1025; ++i)
        ASSERT_TRUE(buffer.append('x'));
    EXPECT_EQ(buffer.getCapacity(), 1280);
    EXPECT_EQ(buffer.getLength(), 1025);
    EXPECT_EQ(std::strlen(buffer.getBuffer()), 1025u);
}

TEST(StringBuffer, AppendText)
{
    StringBuffer buffer(2, 1);
    EXPECT_TRUE(buffer.append(static_cast<const char*>(nullptr)));
    EXPECT_TRUE(buffer.append("abcdef"));
    EXPECT_STREQ(buffer.getBuffer(), "abcdef");
}

TEST(StringTokenizer, QuotesKeepDelimitersInsideAToken)
{
    EXPECT_EQ(tokens("a, b\t\"c d\",e"), (std::vector<std::string> { "a", "b", "c d", "e" }));
}

TEST(StringTokenizer, QuotedProgramPathThenPlaceholder)
{
    EXPECT_EQ(tokens("\"/opt/My Office/bin/writer\" \"%1\""),
        (std::vector<std::string> { "/opt/My Office/bin/writer", "%1" }));
}

TEST(StringTokenizer, EmptyQuotesGiveAnEmptyTokenAndStopAtTheWord)
{
    const char* text = "\"\"rest";
    StringTokenizer tokenizer(text);
    String token;
    const char* cursor = tokenizer.getToken(token);
    ASSERT_NE(cursor, nullptr);
    EXPECT_STREQ(token.getText(), "");
    EXPECT_STREQ(cursor, "rest");
}

TEST(StringTokenizer, ClosingQuoteAtTheEndEndsTheToken)
{
    EXPECT_EQ(tokens("run \"to the end\""), (std::vector<std::string> { "run", "to the end" }));
}

TEST(StringTokenizer, NullAndEmptyTextGiveNothing)
{
    String token("untouched");
    StringTokenizer onNull(nullptr);
    EXPECT_EQ(onNull.getToken(token), nullptr);
    EXPECT_STREQ(token.getText(), "untouched");
    StringTokenizer onEmpty("");
    EXPECT_EQ(onEmpty.getToken(token), nullptr);
}

TEST(Trim, StripsWhiteSpaceAtBothEndsOnly)
{
    EXPECT_STREQ(trim("  x y  ").get(), "x y");
    EXPECT_STREQ(trim(" \t\r\n").get(), "");
    EXPECT_STREQ(trim("\t/srv/docs\r\n").get(), "/srv/docs");
    EXPECT_EQ(trim(nullptr), nullptr);
}

TEST(StringConverter, RoundTripsThroughUtf16)
{
    const char* text = "Bericht \xC3\xBC" "ber \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x93\x84";
    auto wide = StringConverter::toWideChar(text);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide[8], u'\u00FC');
    auto narrow = StringConverter::toMultiByte(wide.get());
    EXPECT_STREQ(narrow.get(), text);
    EXPECT_EQ(StringConverter::toWideChar(nullptr), nullptr);
    EXPECT_EQ(StringConverter::toMultiByte(nullptr), nullptr);
}

// Bytes that are not UTF-8 (a Latin-1 file name, say) must not stop the conversion or be read past.
TEST(StringConverter, InvalidBytesBecomeReplacementCharacters)
{
    auto wide = StringConverter::toWideChar("a\xFF" "b\xE6\x97");
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(std::u16string(wide.get()), u"a\uFFFDb\uFFFD\uFFFD");
    const char16_t lone[] = { u'x', 0xD800, u'y', 0 };
    EXPECT_STREQ(StringConverter::toMultiByte(lone).get(), "x\xEF\xBF\xBDy");
}
