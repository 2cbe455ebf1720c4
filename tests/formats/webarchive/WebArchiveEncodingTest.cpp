#include "formats/webarchive/WebArchiveEncoding.h"

#include <QByteArray>
#include <gtest/gtest.h>

using namespace formats;
using namespace formats::webarchive;

// Catches wrong padding or alphabet in MIME bodies, and lines that mail readers would refuse.
TEST(WebArchiveEncoding, Base64LinesKnownVectorsAndWrapping)
{
    EXPECT_EQ(base64Lines(""), "");
    EXPECT_EQ(base64Lines("f"), "Zg==");
    EXPECT_EQ(base64Lines("fo"), "Zm8=");
    EXPECT_EQ(base64Lines("foobar"), "Zm9vYmFy");
    EXPECT_EQ(base64Lines(std::string("\xff\xfe\x00", 3)), "//4A");
    EXPECT_EQ(base64Lines(std::string(57, 'x')).find("\r\n"), std::string::npos); // exactly one line
    std::string bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += static_cast<char>(i * 37);
    std::string wrapped = base64Lines(bytes);
    EXPECT_EQ(wrapped.find("\r\n"), 76u);
    EXPECT_NE(wrapped.substr(wrapped.size() - 2), "\r\n");
    QByteArray joined = QByteArray::fromStdString(wrapped).replace("\r\n", "");
    EXPECT_EQ(joined.size(), static_cast<qsizetype>(wrapped.size() - wrapped.size() / 78 * 2));
    auto decoded = QByteArray::fromBase64Encoding(joined, QByteArray::AbortOnBase64DecodingErrors);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded.decoded.toStdString(), bytes);
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
    EXPECT_EQ(headerText("\xC3\xA9t\xC3\xA9"), "=?utf-8?B?w6l0w6k=?=");
    EXPECT_EQ(headerText("two\r\nlines").find('\n'), std::string::npos);
    EXPECT_EQ(mailDate(0), "Thu, 01 Jan 1970 00:00:00 +0000");
    EXPECT_EQ(decodeEntities("a&amp;b&#233;&#x41;&unknown;"),
        "a&b\xC3\xA9"
        "A&unknown;");
    EXPECT_EQ(contentTypeFor("X.JPG"), "image/jpeg");
    EXPECT_EQ(contentTypeFor("noextension"), "application/octet-stream");
}

// Catches a character reference that no code point answers (NUL, a surrogate, past U+10FFFF)
// written into the page as a byte sequence of its own.
TEST(WebArchiveEncoding, CharacterReferencesOutsideUnicodeBecomeReplacements)
{
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(decodeEntities("&#0;"), replacement);
    EXPECT_EQ(decodeEntities("&#xD800;"), replacement);
    EXPECT_EQ(decodeEntities("&#x110000;"), replacement);
    EXPECT_EQ(decodeEntities("&#x1000041;"), replacement);
    EXPECT_EQ(decodeEntities("&#x10FFFF;&#128512;"), "\xF4\x8F\xBF\xBF\xF0\x9F\x98\x80");
}
