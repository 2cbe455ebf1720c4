#include "tests/office/libreoffice/OfficePublishChecks.h"

#include "tests/office/libreoffice/OfficeTestSupport.h"

#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

namespace officetest {

std::string checkTextPair(const PublishedSet& set)
{
    SCOPED_TRACE(set.source);
    std::string text = readFile(set.text);
    EXPECT_TRUE(fileExists(set.text));
    EXPECT_NE(text.compare(0, 3, "\xEF\xBB\xBF"), 0) << "plain text starts with a byte order mark";
    EXPECT_TRUE(onlyCrlfLineEnds(text)) << "plain text has other line ends than CR LF";
    std::string unicode;
    EXPECT_TRUE(decodeUtf16Le(readFile(set.unicodeText), unicode)) << "not UTF-16 LE with a byte order mark";
    EXPECT_TRUE(onlyCrlfLineEnds(unicode)) << "Unicode text has other line ends than CR LF";
    EXPECT_EQ(squeezed(unicode), squeezed(text)) << "the two text exports differ";
    return unicode;
}

void checkPdf(const PublishedSet& set, const std::string& documentText)
{
    SCOPED_TRACE(set.pdf);
    ASSERT_TRUE(fileExists(set.pdf));
    EXPECT_GE(pdfPageCount(set.pdf), 1);
    EXPECT_NE(pdfInfo(set.pdf).find("Tagged:          yes"), std::string::npos)
        << "a screen reader finds no tags";
    std::string pdfWords = squeezed(pdfText(set.pdf));
    for (const std::string& word : sampleWords(documentText, 5))
        EXPECT_NE(pdfWords.find(word), std::string::npos) << "PDF lacks " << word;
}

void checkHtmlFiles(const PublishedSet& set, const std::string& documentText)
{
    SCOPED_TRACE(set.html);
    std::string html = readFile(set.html);
    std::string archive = readFile(set.webArchive);
    EXPECT_NE(html.find("<html"), std::string::npos);
    // Every picture has a text for those who cannot see it, if only an empty one.
    const std::regex picture("<img\\b[^>]*>", std::regex::icase);
    for (std::sregex_iterator it(html.begin(), html.end(), picture), end; it != end; ++it)
        EXPECT_NE(it->str().find(" alt="), std::string::npos) << it->str();
    EXPECT_NE(archive.find("multipart/related"), std::string::npos)
        << "web archive is no MIME multipart file";
    for (const std::string& word : sampleWords(documentText, 5))
        EXPECT_NE(html.find(word), std::string::npos) << "HTML lacks " << word;
}

namespace {

struct Gray {
    int width = 0;
    int height = 0;
    std::string pixels;
};

// Page 1 rendered by MuPDF, which reads PDF and XPS alike, as a small grey map.
Gray render(const std::string& document, const std::string& pgm)
{
    Gray image;
    auto result = platform::ChildProcess::run(
        { "mutool", "draw", "-q", "-r", "24", "-c", "gray", "-o", pgm, document, "1" },
        std::chrono::seconds(120));
    EXPECT_TRUE(result.succeeded()) << "mutool cannot draw " << document << ": " << result.standardError;
    std::string bytes = readFile(pgm);
    std::istringstream header(bytes);
    std::string magic;
    int maximum = 0;
    header >> magic >> image.width >> image.height >> maximum;
    size_t start = static_cast<size_t>(header.tellg()) + 1;
    if (magic == "P5" && bytes.size() >= start + static_cast<size_t>(image.width * image.height))
        image.pixels = bytes.substr(start, static_cast<size_t>(image.width * image.height));
    return image;
}

double ink(const Gray& image)
{
    size_t dark = 0;
    for (unsigned char pixel : image.pixels)
        dark += pixel < 160;
    return image.pixels.empty() ? 0 : static_cast<double>(dark) / image.pixels.size();
}

}

void checkXps(const PublishedSet& set, const std::string& documentText, const std::string& scratchPdf)
{
    SCOPED_TRACE(set.xps);
    ASSERT_TRUE(fileExists(set.xps));
    // libgxps must read the package as a whole, with the PDF's pages.
    xpsAsPdf(set.xps, scratchPdf);
    EXPECT_EQ(pdfPageCount(scratchPdf), pdfPageCount(set.pdf));
    // Text becomes glyph outlines, so the pages are compared as pictures: close, not equal.
    Gray fromPdf = render(set.pdf, scratchPdf + ".pdf.pgm");
    Gray fromXps = render(set.xps, scratchPdf + ".xps.pgm");
    ASSERT_FALSE(fromPdf.pixels.empty());
    ASSERT_EQ(fromPdf.width, fromXps.width);
    ASSERT_EQ(fromPdf.height, fromXps.height);
    double difference = 0;
    for (size_t i = 0; i < fromPdf.pixels.size(); ++i)
        difference += std::abs(int(static_cast<unsigned char>(fromPdf.pixels[i]))
            - int(static_cast<unsigned char>(fromXps.pixels[i])));
    difference /= fromPdf.pixels.size();
    EXPECT_LT(difference, 12.0) << "the XPS page does not look like the PDF page";
    if (!sampleWords(documentText, 1).empty()) {
        EXPECT_GT(ink(fromXps), ink(fromPdf) / 2) << "the XPS page lost most of the text";
    }
}

PublishedSet outputsBeside(const std::string& source, const std::string& folder, bool withXps)
{
    std::string base = folder + "/" + std::filesystem::path(source).filename().string();
    return { source, base + ".txt", base + ".unicode.txt", base + ".html", base + ".mhtml", base + ".pdf",
        withXps ? base + ".xps" : std::string() };
}

std::string checkEveryOutput(const PublishedSet& set, const std::string& scratchPdf)
{
    std::string text = checkTextPair(set);
    checkPdf(set, text);
    checkHtmlFiles(set, text);
    if (!set.xps.empty())
        checkXps(set, text, scratchPdf);
    return text;
}
}
