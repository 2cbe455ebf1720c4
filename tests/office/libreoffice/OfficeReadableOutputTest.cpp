#include "office/OfficeFormat.h"
#include "platform/ChildProcess.h"
#include "tests/office/libreoffice/OfficePublishChecks.h"
#include "tests/office/libreoffice/OfficeTestSupport.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TemporaryRegistry.h"
#include "tests/support/ZipBuilder.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

#include <regex>

using namespace office;
using namespace officetest;
using namespace std::chrono_literals;

namespace {

// A picture whose red is half transparent, which PDF/A-1 has no way to show but flattened.
std::string halfTransparentPng()
{
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(qRgba(255, 0, 0, 128));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// A German report as Word writes one, cut to what the office reads: its language in the default
// character attributes, a heading, a described picture and one without a description, and the
// title when given.
std::string germanReport(const TemporaryFolder& folder, const std::string& name, const std::string& title)
{
    const std::string office = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    const std::string package = "http://schemas.openxmlformats.org/package/2006/";
    const std::string w = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";
    auto relationship = [](const std::string& id, const std::string& type, const std::string& target) {
        return "<Relationship Id=\"" + id + "\" Type=\"" + type + "\" Target=\"" + target + "\"/>";
    };
    auto picture = [](const std::string& id, const std::string& descr) {
        return "<w:p><w:r><w:drawing><wp:inline><wp:extent cx=\"914400\" cy=\"914400\"/><wp:docPr id=\"" + id
            + "\" name=\"Bild " + id + "\"" + descr
            + "/><a:graphic><a:graphicData "
              "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><pic:pic>"
              "<pic:blipFill><a:blip r:embed=\"rId2\"/></pic:blipFill><pic:spPr/></pic:pic></a:graphicData>"
              "</a:graphic></wp:inline></w:drawing></w:r></w:p>";
    };
    ZipBuilder zip;
    zip.add("[Content_Types].xml",
        "<Types xmlns=\"" + package
            + "content-types\"><Default Extension=\"xml\" ContentType=\"application/"
              "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/><Default "
              "Extension=\"png\" "
              "ContentType=\"image/png\"/></Types>");
    zip.add("_rels/.rels",
        "<Relationships xmlns=\"" + package + "relationships\">"
            + relationship("rId1", office + "/officeDocument", "word/document.xml")
            + relationship("rId2", package + "relationships/metadata/core-properties", "docProps/core.xml")
            + "</Relationships>");
    zip.add("docProps/core.xml",
        "<cp:coreProperties xmlns:cp=\"" + package
            + "metadata/core-properties\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">"
            + (title.empty() ? "" : "<dc:title>" + title + "</dc:title>") + "</cp:coreProperties>");
    zip.add("word/_rels/document.xml.rels",
        "<Relationships xmlns=\"" + package + "relationships\">"
            + relationship("rId1", office + "/styles", "styles.xml")
            + relationship("rId2", office + "/image", "media/red.png") + "</Relationships>");
    zip.add("word/styles.xml",
        "<w:styles " + w
            + "><w:docDefaults><w:rPrDefault><w:rPr><w:lang "
              "w:val=\"de-DE\"/></w:rPr></w:rPrDefault></w:docDefaults>"
              "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"heading 1\"/><w:pPr>"
              "<w:outlineLvl w:val=\"0\"/></w:pPr></w:style></w:styles>");
    zip.add("word/document.xml",
        "<w:document " + w + " xmlns:r=\"" + office
            + "\" xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
              "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
              "xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\"><w:body><w:p><w:pPr>"
              "<w:pStyle w:val=\"Heading1\"/></w:pPr><w:r><w:t>Überblick</w:t></w:r></w:p>"
            + picture("1", " descr=\"Ein rotes Quadrat &amp; ein Schatten\"") + picture("2", "")
            + "</w:body></w:document>");
    zip.add("word/media/red.png", halfTransparentPng());
    return folder.write(name, zip.bytes());
}

std::string run(const std::vector<std::string>& command)
{
    auto result = platform::ChildProcess::run(command, 120s);
    EXPECT_TRUE(result.succeeded()) << command[0] << ": " << result.standardError;
    return result.standardOutput;
}

// The PDF with its objects uncompressed, so that its dictionaries and metadata read as text.
std::string qdf(const std::string& pdf)
{
    const std::string expanded = pdf + ".qdf";
    run({ "qpdf", "--qdf", "--object-streams=disable", pdf, expanded });
    return readFile(expanded);
}

// A text string as the office writes it into a PDF: UTF-16 BE after a byte order mark, in hex.
std::string pdfHexString(const std::string& text)
{
    std::string hex = "<feff";
    char digits[5];
    for (char16_t unit : QString::fromStdString(text).toStdU16String()) {
        std::snprintf(digits, sizeof digits, "%04x", static_cast<unsigned>(unit));
        hex += digits;
    }
    return hex + ">";
}

size_t count(const std::string& text, const std::string& pattern)
{
    const std::regex expression(pattern);
    return static_cast<size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), expression), {}));
}

void checkPage(const std::string& page, const std::string& title)
{
    const std::string dom = chromiumDom(page);
    EXPECT_TRUE(std::regex_search(dom, std::regex(R"(<html[^>]* lang="de-DE")"))) << page;
    EXPECT_NE(dom.find("<title>" + title + "</title>"), std::string::npos) << page;
    EXPECT_EQ(count(dom, R"(<img [^>]*alt="Ein rotes Quadrat &amp; ein Schatten")"), 1u) << page;
    EXPECT_EQ(count(dom, R"(<img [^>]*alt="")"), 1u) << page;
    EXPECT_EQ(count(dom, "<img "), 2u) << page;
}

}

// Catches output that a screen reader or an archive cannot use: an untagged PDF, a picture
// without its description, a page without language or title, an XPS that names neither, a PDF/A
// that the setting asks for and the PDF does not claim or keep. The title is the document's, or
// the file's name for a document without one.
TEST(OfficeReadableOutputTest, OutputsCarryLanguageTitleAndPictureTextsAndPdfAOnRequest)
{
    TemporaryFolder folder;
    for (const auto& [name, title] :
        { std::pair<std::string, std::string> { "bericht.docx", "Jahresbericht 2026" },
            { "ohne Titel.docx", "" } }) {
        const std::string source = germanReport(folder, name, title);
        const std::string expectedTitle = title.empty() ? name : title;
        PublishedSet set = outputsBeside(source, folder.path(), true);
        std::shared_ptr<WordDocument> document = sharedWord()->documents()->open(source);
        ASSERT_TRUE(document) << source;
        EXPECT_EQ(document->saveAs(set.pdf, wordFormat::pdf), hresult::ok);
        EXPECT_EQ(document->saveAs(set.html, wordFormat::html), hresult::ok);
        EXPECT_EQ(document->saveAs(set.webArchive, wordFormat::webArchive), hresult::ok);
        EXPECT_EQ(document->saveAs(set.xps, wordFormat::xps), hresult::ok);
        EXPECT_EQ(document->close(), hresult::ok);

        const std::string info = pdfInfo(set.pdf);
        EXPECT_NE(info.find("Tagged:          yes"), std::string::npos) << info;
        EXPECT_EQ(
            info.find("Title:"), title.empty() ? std::string::npos : info.find("Title:           " + title));
        const std::string pdf = qdf(set.pdf);
        EXPECT_EQ(count(pdf, R"(/Lang \(de-DE\))"), 1u);
        EXPECT_EQ(count(pdf, "/Alt "), 1u);
        EXPECT_NE(pdf.find("/Alt " + pdfHexString("Ein rotes Quadrat & ein Schatten")), std::string::npos);
        EXPECT_EQ(count(pdf, R"(/S /Figure\b)"), 2u);
        EXPECT_EQ(count(pdf, R"(/S /H1\b)"), 1u);
        EXPECT_EQ(count(pdf, R"(/DisplayDocTitle true)"), title.empty() ? 0u : 1u);
        EXPECT_EQ(pdf.find("pdfaid:part"), std::string::npos);

        checkPage(set.html, expectedTitle);
        checkPage(set.webArchive, expectedTitle);

        const std::string core = run({ "unzip", "-p", set.xps, "docProps/core.xml" });
        EXPECT_NE(core.find("<dc:language>de-DE</dc:language>"), std::string::npos) << core;
        EXPECT_EQ(
            core.find("<dc:title>"), title.empty() ? std::string::npos : core.find("<dc:title>" + title));
        EXPECT_NE(run({ "unzip", "-p", set.xps, "Documents/1/Pages/1.fpage" }).find("xml:lang=\"de-DE\""),
            std::string::npos);
    }

    // The PdfArchive setting, in a German user's session of its own: PDF/A-1 claimed, every font
    // embedded, and the picture's transparency, which the plain PDF keeps, flattened as the part
    // asks.
    EXPECT_GT(count(qdf(folder.file("bericht.docx.pdf")), "/SMask"), 0u);
    TemporaryRegistry registry;
    registry.writeUserFile(
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\Pressling\\Config]\n"
        "\"PdfArchive\"=dword:00000001\n");
    ScopedEnvironment german("LC_ALL", "de_DE.UTF-8");
    LibreOfficeAutomation automation;
    std::shared_ptr<WordApplication> word = startWord(automation);
    std::shared_ptr<WordDocument> document = word->documents()->open(folder.file("bericht.docx"));
    ASSERT_TRUE(document);
    const std::string archived = folder.file("archived.pdf");
    EXPECT_EQ(document->saveAs(archived, wordFormat::pdf), hresult::ok);
    EXPECT_EQ(document->close(), hresult::ok);
    const std::string pdf = qdf(archived);
    EXPECT_NE(pdf.find("<pdfaid:part>1</pdfaid:part>"), std::string::npos);
    // Level A (accessible) is level B and the tags on top, which a tagged PDF has.
    EXPECT_EQ(count(pdf, "<pdfaid:conformance>[AB]</pdfaid:conformance>"), 1u);
    EXPECT_EQ(count(pdf, R"(/Lang \(de-DE\))"), 1u);
    EXPECT_EQ(count(pdf, "/SMask"), 0u);
    const std::string fonts = run({ "pdffonts", archived });
    EXPECT_GT(count(fonts, "\n"), 2u) << fonts;
    EXPECT_EQ(count(fonts, R"( no  +(yes|no) +(yes|no) +\d+ +\d+\n)"), 0u) << "a font not embedded:\n"
                                                                           << fonts;
}
