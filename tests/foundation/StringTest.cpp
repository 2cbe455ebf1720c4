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
    const char* text = "Bericht \xC3\xBC"
                       "ber \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x93\x84";
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
    auto wide = StringConverter::toWideChar("a\xFF"
                                            "b\xE6\x97");
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(std::u16string(wide.get()), u"a\uFFFDb\uFFFD\uFFFD");
    const char16_t lone[] = { u'x', 0xD800, u'y', 0 };
    EXPECT_STREQ(StringConverter::toMultiByte(lone).get(), "x\xEF\xBF\xBDy");
}

// The one codec of the program must refuse every form that a lenient decoder lets through:
// overlong forms (which smuggle '/' or '<' past a check), encoded surrogates, code points past
// U+10FFFF and sequences cut short at the end of the text.
TEST(StringConverter, StrictDecodingRefusesOverlongSurrogateAndTruncatedForms)
{
    const char* refused[] = {
        "\xC0\xAF", // '/' in two bytes
        "\xC1\xBF",
        "\xE0\x80\xBC", // '<' in three bytes
        "\xF0\x80\x80\xAF", // '/' in four bytes
        "\xED\xA0\x80", // U+D800, a lone high surrogate
        "\xED\xBF\xBF", // U+DFFF
        "\xF4\x90\x80\x80", // U+110000
        "\xE2\x82", // cut short
        "\xF0\x9F\x93", // cut short
        "\x80", // a continuation byte on its own
        "\xF8\x88\x80\x80\x80", // the old five-byte form
    };
    for (const char* text : refused) {
        size_t index = 0;
        char32_t codePoint = 0;
        EXPECT_FALSE(StringConverter::decodeUtf8(text, index, codePoint)) << testing::PrintToString(text);
        EXPECT_EQ(index, 0u);
        EXPECT_FALSE(StringConverter::isValidUtf8(text));
    }
    EXPECT_EQ(StringConverter::decodeUtf8Replacing("a\xC0\xAF"
                                                   "b"),
        U"a\uFFFD\uFFFDb");
    EXPECT_EQ(StringConverter::decodeUtf8Replacing("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(std::u16string(StringConverter::toWideChar("x\xE0\x80\xBCy").get()), u"x\uFFFD\uFFFD\uFFFDy");
}

TEST(StringConverter, StrictDecodingAcceptsEveryValidLengthAndTheEdges)
{
    std::string text
        = "A\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF";
    EXPECT_TRUE(StringConverter::isValidUtf8(text));
    EXPECT_EQ(StringConverter::decodeUtf8Replacing(text),
        U"A\u0080\u07FF\u0800\uD7FF\uE000\uFFFF\U00010000\U0010FFFF");
    std::string encoded;
    for (char32_t codePoint : StringConverter::decodeUtf8Replacing(text))
        StringConverter::appendUtf8(encoded, codePoint);
    EXPECT_EQ(encoded, text);
    // What cannot be encoded becomes U+FFFD rather than an invalid sequence.
    std::string replaced;
    StringConverter::appendUtf8(replaced, 0xD800);
    StringConverter::appendUtf8(replaced, 0x110000);
    EXPECT_EQ(replaced, "\xEF\xBF\xBD\xEF\xBF\xBD");
}
