#include "formats/webarchive/Base64.h"
#include "formats/webarchive/WebArchiveEncoding.h"

#include <gtest/gtest.h>

using namespace formats;
using namespace formats::webarchive;

// Catches wrong padding or alphabet, and a decoder that accepts garbage.
TEST(Base64, EncodesAndDecodesKnownVectors)
{
    EXPECT_EQ(base64Encode(""), "");
    EXPECT_EQ(base64Encode("f"), "Zg==");
    EXPECT_EQ(base64Encode("fo"), "Zm8=");
    EXPECT_EQ(base64Encode("foobar"), "Zm9vYmFy");
    EXPECT_EQ(base64Encode(std::string("\xff\xfe\x00", 3)), "//4A");
    EXPECT_EQ(base64Decode("Zm9v\r\nYmE="), "fooba");
    EXPECT_FALSE(base64Decode("Zm9v!").has_value());
    EXPECT_FALSE(base64Decode("Z").has_value());
    std::string bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += static_cast<char>(i * 37);
    std::string wrapped = base64Encode(bytes, 76);
    EXPECT_EQ(wrapped.find("\r\n"), 76u);
    EXPECT_EQ(base64Decode(wrapped), bytes);
}

// Catches quoted-printable output that a mail reader would decode to different bytes.
TEST(WebArchiveEncoding, QuotedPrintableKeepsEveryByte)
{
    EXPECT_EQ(quotedPrintable("a=b"), "a=3Db");
    EXPECT_EQ(quotedPrintable("caf\xC3\xA9"), "caf=C3=A9");
    EXPECT_EQ(quotedPrintable("trailing \nline\r\nend"), "trailing=20\r\nline\r\nend");
    std::string longLine(200, 'x');
    std::string encoded = quotedPrintable(longLine + "=");
    size_t start = 0;
    std::string decoded;
    for (size_t end; (end = encoded.find("\r\n", start)) != std::string::npos; start = end + 2) {
        EXPECT_LE(end - start, 76u);
        ASSERT_EQ(encoded[end - 1], '=');
        decoded += encoded.substr(start, end - start - 1);
    }
    decoded += encoded.substr(start);
    EXPECT_EQ(decoded, longLine + "=3D");
}

// Catches header values that break the header block or dates in the local language.
TEST(WebArchiveEncoding, HeadersDatesAndUrls)
{
    EXPECT_EQ(headerText("Plain title"), "Plain title");
    EXPECT_EQ(headerText("\xC3\xA9t\xC3\xA9"), "=?utf-8?B?" + base64Encode("\xC3\xA9t\xC3\xA9") + "?=");
    EXPECT_EQ(headerText("two\r\nlines").find('\n'), std::string::npos);
    EXPECT_EQ(mailDate(0), "Thu, 01 Jan 1970 00:00:00 +0000");
    EXPECT_EQ(percentEncodePath("sub dir/\xC3\xA9.png"), "sub%20dir/%C3%A9.png");
    EXPECT_EQ(percentDecode("a%20b%2Fc%zz"), "a b/c%zz");
    EXPECT_EQ(decodeEntities("a&amp;b&#233;&#x41;&unknown;"), "a&b\xC3\xA9" "A&unknown;");
    EXPECT_EQ(contentTypeFor("X.JPG"), "image/jpeg");
    EXPECT_EQ(contentTypeFor("noextension"), "application/octet-stream");
}
