#include "formats/webarchive/WebArchiveWriter.h"
#include "platform/ChildProcess.h"
#include "tests/formats/ConverterTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <QByteArray>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace convertertest;
using namespace std::chrono_literals;
using formats::WebArchiveWriter;

namespace {

std::string base64(const std::string& bytes)
{
    return QByteArray::fromStdString(bytes).toBase64().toStdString();
}

struct MimePart {
    std::map<std::string, std::string> headers;
    std::string body;
};

std::string headerValue(const std::string& block, const std::string& name)
{
    size_t at = block.find(name + ": ");
    if (at == std::string::npos)
        return {};
    size_t end = block.find("\r\n", at);
    std::string value = block.substr(at + name.size() + 2, end - at - name.size() - 2);
    // Folded continuation lines
    while (end + 2 < block.size() && (block[end + 2] == '\t' || block[end + 2] == ' ')) {
        size_t next = block.find("\r\n", end + 2);
        value += block.substr(end + 2, next - end - 2);
        end = next;
    }
    return value;
}

// Splits an archive at its boundary the way a mail reader does.
std::vector<MimePart> parseArchive(const std::string& archive, std::string& rootHeaders)
{
    size_t headerEnd = archive.find("\r\n\r\n");
    rootHeaders = archive.substr(0, headerEnd + 2);
    std::string type = headerValue(rootHeaders, "Content-Type");
    size_t at = type.find("boundary=\"");
    std::string boundary = "--" + type.substr(at + 10, type.find('"', at + 10) - at - 10);
    std::vector<MimePart> parts;
    size_t position = archive.find(boundary + "\r\n", headerEnd);
    while (position != std::string::npos) {
        size_t start = position + boundary.size() + 2;
        size_t next = archive.find("\r\n" + boundary, start);
        if (next == std::string::npos)
            break;
        std::string text = archive.substr(start, next - start);
        size_t split = text.find("\r\n\r\n");
        MimePart part;
        std::string block = text.substr(0, split + 2);
        for (const char* name : { "Content-Type", "Content-Transfer-Encoding", "Content-Location" })
            part.headers[name] = headerValue(block, name);
        part.body = text.substr(split + 4);
        parts.push_back(part);
        position = next + 2;
        if (archive.compare(position + boundary.size(), 2, "--") == 0)
            break;
    }
    return parts;
}

std::string decodeQuotedPrintable(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && text.compare(i + 1, 2, "\r\n") == 0) {
            i += 2;
        } else if (text[i] == '=' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else if (text.compare(i, 2, "\r\n") == 0) {
            out += '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string withoutCarriageReturns(std::string text)
{
    std::erase(text, '\r');
    return text;
}

// The body's text of a DOM, tags dropped and white space collapsed.
std::string visibleText(const std::string& dom)
{
    std::string text;
    bool inTag = false;
    size_t body = dom.find("<body");
    for (char c : dom.substr(body == std::string::npos ? 0 : body)) {
        if (c == '<' || c == '>') {
            inTag = c == '<';
            c = ' ';
        } else if (inTag) {
            continue;
        }
        bool space = c == ' ' || c == '\n' || c == '\t' || c == '\r';
        if (!space)
            text += c;
        else if (!text.empty() && text.back() != ' ')
            text += ' ';
    }
    return text;
}

class WebArchiveWriterTest : public ::testing::Test {
protected:
    // Exports a corpus document to HTML with a real LibreOffice, once per test.
    std::string exportDocument(const std::string& document)
    {
        std::string error;
        std::string html = exportWithLibreOffice(
            corpusDocument(document), "html", m_work.file("export"), m_work.file("profile"), error);
        EXPECT_FALSE(html.empty()) << error;
        return html;
    }

    TemporaryFolder m_work;
};

}

// Catches a browser showing broken images: every image must resolve from inside the archive,
// with the export folder gone so nothing can come from the disk.
TEST_F(WebArchiveWriterTest, ChromiumShowsTheImagesOfARealExport)
{
    std::string html = exportDocument("word/having-images.docx");
    ASSERT_FALSE(html.empty());
    std::filesystem::create_directories(m_work.file("view"));
    WebArchiveWriter writer;
    ASSERT_TRUE(writer.write(html, m_work.file("view/images.mhtml"))) << writer.errorMessage();
    EXPECT_EQ(writer.packedFiles().size(), 3u);

    // The same page with its images missing shows only empty frames: the baseline.
    for (const std::string& image : writer.packedFiles())
        std::filesystem::remove(m_work.file("export/" + image));
    ASSERT_TRUE(writer.write(html, m_work.file("view/bare.mhtml")));
    EXPECT_TRUE(writer.packedFiles().empty());
    EXPECT_EQ(writer.skippedReferences().size(), 6u);
    std::filesystem::remove_all(m_work.file("export"));

    ASSERT_TRUE(chromiumScreenshot(
        "file://" + m_work.file("view/images.mhtml"), m_work.file("images.png"), m_work.file("chromium")));
    ASSERT_TRUE(chromiumScreenshot(
        "file://" + m_work.file("view/bare.mhtml"), m_work.file("bare.png"), m_work.file("chromium")));
    long withImages = inkedPixels(m_work.file("images.png"));
    long bare = inkedPixels(m_work.file("bare.png"));
    // Measured: about 39,800 inked pixels with the pictures, 3,900 for the broken-image frames.
    EXPECT_GT(withImages, 20000) << "bare page: " << bare;
    EXPECT_LT(bare, 10000);
}

// Catches text lost or mangled by the quoted-printable encoding of the page.
TEST_F(WebArchiveWriterTest, ChromiumShowsTheTextOfARealExport)
{
    std::string html = exportDocument("word/fnt-color.docx");
    ASSERT_FALSE(html.empty());
    WebArchiveWriter writer;
    ASSERT_TRUE(writer.write(html, m_work.file("colors.mhtml"))) << writer.errorMessage();
    std::string plainText = visibleText(chromiumDom("file://" + html, m_work.file("chromium")));
    std::string archiveText
        = visibleText(chromiumDom("file://" + m_work.file("colors.mhtml"), m_work.file("chromium")));
    EXPECT_NE(
        archiveText.find("Text with no color Text with auto color Text with RGB color"), std::string::npos)
        << archiveText;
    EXPECT_EQ(archiveText, plainText);
}

// Catches a malformed archive: wrong boundaries, a missing or extra part, a Content-Location a
// browser cannot match with the page's src, bytes changed by the encodings.
TEST_F(WebArchiveWriterTest, ArchiveStructureOfARealExport)
{
    std::string html = exportDocument("word/having-images.docx");
    ASSERT_FALSE(html.empty());
    WebArchiveWriter writer;
    writer.setDate(1796774400); // 2026-12-09 00:00:00 UTC
    ASSERT_TRUE(writer.write(html, m_work.file("doc.mhtml"))) << writer.errorMessage();
    std::string rootHeaders;
    auto parts = parseArchive(readFile(m_work.file("doc.mhtml")), rootHeaders);
    EXPECT_NE(rootHeaders.find("MIME-Version: 1.0\r\n"), std::string::npos);
    EXPECT_NE(rootHeaders.find("From: "), std::string::npos);
    EXPECT_NE(rootHeaders.find("Subject: "), std::string::npos);
    EXPECT_NE(rootHeaders.find("Date: Wed, 09 Dec 2026 00:00:00 +0000\r\n"), std::string::npos);
    EXPECT_NE(headerValue(rootHeaders, "Content-Type").find("multipart/related;"), std::string::npos);

    ASSERT_EQ(parts.size(), 4u); // the page and its three distinct images
    EXPECT_EQ(parts[0].headers["Content-Type"], "text/html; charset=\"utf-8\"");
    EXPECT_EQ(parts[0].headers["Content-Transfer-Encoding"], "quoted-printable");
    EXPECT_EQ(parts[0].headers["Content-Location"], "http://pressling.invalid/having-images.html");
    EXPECT_EQ(
        withoutCarriageReturns(decodeQuotedPrintable(parts[0].body)), withoutCarriageReturns(readFile(html)));
    for (size_t i = 1; i < parts.size(); ++i) {
        std::string location = parts[i].headers["Content-Location"];
        std::string name = location.substr(location.rfind('/') + 1);
        EXPECT_NE(readFile(html).find("src=\"" + name + "\""), std::string::npos) << name;
        EXPECT_EQ(parts[i].headers["Content-Type"], "image/png");
        EXPECT_EQ(parts[i].headers["Content-Transfer-Encoding"], "base64");
        auto bytes
            = QByteArray::fromBase64Encoding(QByteArray::fromStdString(parts[i].body).replace("\r\n", ""),
                QByteArray::AbortOnBase64DecodingErrors);
        ASSERT_TRUE(bytes) << name;
        EXPECT_EQ(bytes.decoded.toStdString(), readFile(m_work.file("export/" + name)));
    }
    for (const auto& part : parts) {
        size_t start = 0;
        for (size_t end; (end = part.body.find("\r\n", start)) != std::string::npos; start = end + 2)
            EXPECT_LE(end - start, 76u) << "line too long in " << part.headers.at("Content-Location");
    }
}

// Catches files outside the page's folder being read into the archive, through "..", absolute
// paths, protocol-relative URLs, file: URLs or a symbolic link, and catches missing files failing
// the archive instead of being left out.
TEST_F(WebArchiveWriterTest, PacksOnlyFilesInsideThePageFolder)
{
    m_work.write("secret.png", "SECRET-OUTSIDE-BYTES");
    m_work.write("site/sub/inner.png", "inner image");
    m_work.write("site/a b.png", "spaced image");
    m_work.write("site/style.css", "body { background: url('sub/back.gif') } @import \"more.css\";");
    m_work.write("site/more.css", "p { background: url(../secret.png) }");
    m_work.write("site/sub/back.gif", "gif bytes");
    m_work.write("site/page2.html", "<p>second page <img src=\"sub/inner.png\"> <img src=\"page2.png\">");
    m_work.write("site/page2.png", "second page image");
    std::filesystem::create_symlink(m_work.file("secret.png"), m_work.file("site/link.png"));
    std::string page = m_work.write("site/index.html",
        "<html><head><title>Caf\xC3\xA9 report</title><link rel=\"stylesheet\" "
        "href=\"style.css\"></head><body>"
        "<img src=\"../secret.png\"><img src=\"/etc/passwd\"><img src=\"//localhost/etc/passwd\">"
        "<img src=\"file:///etc/passwd\"><img src=\"link.png\"><img src=\"sub/%2e%2e/../secret.png\">"
        "<img src=\"missing.png\"><img src=\"./sub/./inner.png\"><img src='a%20b.png'>"
        "<img src=\"http://example.com/remote.png\"><img src=\"data:image/png;base64,AAAA\">"
        "<!-- <img src=\"commented.png\"> --><a href=\"page2.html#top\">next</a><a href=\"#here\">here</a>"
        "</body></html>");
    WebArchiveWriter writer;
    ASSERT_TRUE(writer.write(page, m_work.file("site.mhtml"))) << writer.errorMessage();
    std::vector<std::string> expected
        = { "style.css", "sub/inner.png", "a b.png", "page2.html", "sub/back.gif", "more.css", "page2.png" };
    EXPECT_EQ(writer.packedFiles(), expected);
    std::vector<std::string> skipped = { "../secret.png", "/etc/passwd", "//localhost/etc/passwd",
        "file:///etc/passwd", "link.png", "sub/%2e%2e/../secret.png", "missing.png", "../secret.png" };
    EXPECT_EQ(writer.skippedReferences(), skipped);

    std::string archive = readFile(m_work.file("site.mhtml"));
    EXPECT_EQ(archive.find(base64("SECRET-OUTSIDE-BYTES")), std::string::npos);
    EXPECT_EQ(archive.find("root:"), std::string::npos);
    EXPECT_NE(archive.find("Content-Location: http://pressling.invalid/a%20b.png\r\n"), std::string::npos);
    EXPECT_NE(
        archive.find("Subject: =?utf-8?B?" + base64("Caf\xC3\xA9 report") + "?=\r\n"), std::string::npos);
    std::string rootHeaders;
    EXPECT_EQ(parseArchive(archive, rootHeaders).size(), 1 + expected.size());
}

// Catches a failure reported as success or a half-written archive left behind.
TEST_F(WebArchiveWriterTest, FailuresAreReportedAndLeaveNothing)
{
    WebArchiveWriter writer;
    EXPECT_FALSE(writer.write(m_work.file("absent.html"), m_work.file("out.mhtml")));
    EXPECT_NE(writer.errorMessage().find("absent.html"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_work.file("out.mhtml")));

    std::string page = m_work.write("page.html", "<p>text</p>");
    EXPECT_FALSE(writer.write(page, m_work.file("no/such/folder/out.mhtml")));
    EXPECT_NE(writer.errorMessage().find("out.mhtml"), std::string::npos);

    // A previous archive is replaced only by a complete new one.
    m_work.write("old.mhtml", "previous archive");
    ASSERT_TRUE(writer.write(page, m_work.file("old.mhtml")));
    EXPECT_NE(readFile(m_work.file("old.mhtml")).find("<p>text</p>"), std::string::npos);
    // Neither the failed writes nor the replacing one left a temporary file behind.
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_work.path()))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string> { "old.mhtml", "page.html" }));
}

// Catches a page that is a FIFO being waited on for ever instead of refused: nothing writes
// to this one, so a reader that opens it blocks the export.
TEST_F(WebArchiveWriterTest, PageThatIsAFifoIsRefusedAtOnce)
{
    std::string page = m_work.file("page.html");
    ASSERT_TRUE(platform::ChildProcess::run({ "mkfifo", page }, 30s).succeeded());
    WebArchiveWriter writer;
    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(writer.write(page, m_work.file("out.mhtml")));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_NE(writer.errorMessage().find("page.html"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(m_work.file("out.mhtml")));
}
