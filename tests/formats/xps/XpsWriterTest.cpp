#include "platform/ChildProcess.h"
#include "formats/xps/XpsWriter.h"
#include "tests/formats/ConverterTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <set>

using namespace convertertest;
using namespace std::chrono_literals;
using platform::ChildProcess;
using formats::XpsWriter;

namespace {

// Measured at 48 dpi (mean absolute difference per channel, 0-255) between the XPS render
// (libgxps or MuPDF) and poppler's PDF render: at most 3.3 for the documents below and 3.6 over
// every PowerPoint file of the corpus, the worst being pages of empty tables, whose 0.5 pt
// hairlines poppler draws as solid black pixels and the XPS readers antialiased grey. The ink
// overlap is at least 0.89 here and 0.76 over the corpus (0.12 pt light-grey frames that poppler
// widens to a pixel); the same comparison against the wrong page of a document gives 0.28.
constexpr double maximumDifference = 4.5;
constexpr double minimumOverlap = 0.7;

int countPages(const std::string& pdf)
{
    auto info = ChildProcess::run({ "pdfinfo", pdf }, 30s);
    std::smatch match;
    std::regex pages("Pages:\\s+(\\d+)");
    return std::regex_search(info.standardOutput, match, pages) ? std::stoi(match[1]) : -1;
}

std::string zipListing(const std::string& path)
{
    return ChildProcess::run({ "unzip", "-Z1", path }, 30s).standardOutput;
}

class XpsWriterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_work = new TemporaryFolder;
        std::vector<std::string> documents;
        for (const char* name : { "word/having-images.docx", "word/tbl-having-tables.docx",
                 "word/sct-inner-content.docx", "word/fnt-color.docx", "powerpoint/cht-charts.pptx",
                 "powerpoint/shp-groupshape.pptx", "powerpoint/dml-line.pptx" })
            documents.push_back(corpusDocument(name));
        s_pdfs = new std::vector<std::string>(exportAllWithLibreOffice(documents, "pdf", s_work->file("pdf"),
            s_work->file("profile"), *(s_error = new std::string)));
    }
    static void TearDownTestSuite()
    {
        delete s_pdfs;
        delete s_error;
        delete s_work;
    }

    std::string pdf(const std::string& stem)
    {
        return s_work->file("pdf/" + stem + ".pdf");
    }

    std::string convert(const std::string& stem)
    {
        XpsWriter writer;
        std::string xps = m_folder.file(stem + ".xps");
        EXPECT_TRUE(writer.write(pdf(stem), xps)) << writer.errorMessage();
        EXPECT_EQ(writer.pageCount(), countPages(pdf(stem)));
        return xps;
    }

    // Renders every page of the PDF and of the XPS with both XPS readers; checks each pair.
    void expectRendersClose(const std::string& stem)
    {
        std::string xps = convert(stem);
        int pages = countPages(pdf(stem));
        ASSERT_GT(pages, 0);
        ASSERT_TRUE(ChildProcess::run({ "pdftoppm", "-r", "48", "-png", pdf(stem), m_folder.file("pdf") }, 120s).succeeded());
        auto gxps = ChildProcess::run({ "xpstopng", "-r", "48", xps, m_folder.file("gxps") }, 120s);
        ASSERT_TRUE(gxps.succeeded()) << gxps.standardError;
        auto mupdf = ChildProcess::run({ "mutool", "draw", "-q", "-r", "48", "-o", m_folder.file("mupdf-%d.png"), xps }, 120s);
        ASSERT_TRUE(mupdf.succeeded()) << mupdf.standardError;
        for (int page = 1; page <= pages; ++page) {
            std::string reference = m_folder.file("pdf-" + std::to_string(page) + ".png");
            for (const std::string& render : { m_folder.file("gxps-" + std::to_string(page) + ".png"),
                     m_folder.file("mupdf-" + std::to_string(page) + ".png") }) {
                ASSERT_TRUE(std::filesystem::exists(render)) << render;
                double difference = meanDifference(reference, render);
                double overlap = inkOverlap(reference, render);
                EXPECT_GE(difference, 0) << stem << " page " << page << ": sizes differ";
                EXPECT_LT(difference, maximumDifference) << stem << " page " << page << " " << render;
                EXPECT_GE(overlap, minimumOverlap) << stem << " page " << page << " " << render;
            }
        }
    }

    void SetUp() override { ASSERT_FALSE(s_pdfs->empty()) << *s_error; }

    TemporaryFolder m_folder;
    static TemporaryFolder* s_work;
    static std::vector<std::string>* s_pdfs;
    static std::string* s_error;
};

TemporaryFolder* XpsWriterTest::s_work = nullptr;
std::vector<std::string>* XpsWriterTest::s_pdfs = nullptr;
std::string* XpsWriterTest::s_error = nullptr;

}

// Catches lost or misplaced images (their resolution, their masks) and broken packages.
TEST_F(XpsWriterTest, ImagesRenderLikeThePdf)
{
    expectRendersClose("having-images");
    std::string listing = zipListing(m_folder.file("having-images.xps"));
    EXPECT_NE(listing.find("Documents/1/Pages/_rels/1.fpage.rels"), std::string::npos);
    EXPECT_NE(listing.find("Resources/Images/1-"), std::string::npos);
}

// Catches hairlines and table borders dropped or drawn with the wrong width.
TEST_F(XpsWriterTest, TableBordersRenderLikeThePdf)
{
    expectRendersClose("tbl-having-tables");
}

// Catches pages out of order and glyphs of one page drawn on another.
TEST_F(XpsWriterTest, EveryPageOfAMultiPageDocument)
{
    expectRendersClose("sct-inner-content");
    // The comparison itself tells pages apart: page 2 of the XPS is far from page 1 of the PDF.
    EXPECT_LT(inkOverlap(m_folder.file("pdf-1.png"), m_folder.file("gxps-2.png")), 0.5);
    // Readers keep resources across pages, so a glyph key used on two pages would draw the
    // first page's glyph; at this resolution that hides inside the render differences.
    std::set<std::string> keys;
    for (int page = 1; page <= 3; ++page) {
        std::string markup = ChildProcess::run({ "unzip", "-p", m_folder.file("sct-inner-content.xps"),
                                                   "Documents/1/Pages/" + std::to_string(page) + ".fpage" },
            30s).standardOutput;
        std::regex key("x:Key=\"([^\"]+)\"");
        int found = 0;
        for (auto it = std::sregex_iterator(markup.begin(), markup.end(), key); it != std::sregex_iterator(); ++it, ++found)
            EXPECT_TRUE(keys.insert((*it)[1]).second) << (*it)[1] << " on page " << page;
        EXPECT_GT(found, 0);
    }
}

// Catches gradients, charts and shadows (masked images) going wrong.
TEST_F(XpsWriterTest, SlidesWithChartsShapesAndShadows)
{
    expectRendersClose("cht-charts");
    expectRendersClose("shp-groupshape");
    expectRendersClose("dml-line");
}

// Catches a page turned into a picture instead of vector paths.
TEST_F(XpsWriterTest, TextStaysVector)
{
    std::string xps = convert("fnt-color");
    std::string page = ChildProcess::run({ "unzip", "-p", xps, "Documents/1/Pages/1.fpage" }, 30s).standardOutput;
    EXPECT_EQ(page.find("ImageBrush"), std::string::npos);
    EXPECT_NE(page.find("<PathGeometry x:Key="), std::string::npos);
    EXPECT_NE(page.find("Data=\"{StaticResource P1_"), std::string::npos);
    EXPECT_NE(page.find("Width=\"816\" Height=\"1056\""), std::string::npos); // Letter at 96 dpi
    std::string listing = zipListing(xps);
    EXPECT_EQ(listing.substr(0, listing.find('\n')), "[Content_Types].xml");
    for (const char* part : { "_rels/.rels", "FixedDocumentSequence.fdseq", "Documents/1/FixedDocument.fdoc" })
        EXPECT_NE(listing.find(part), std::string::npos) << part;
    EXPECT_TRUE(ChildProcess::run({ "unzip", "-tq", xps }, 30s).succeeded());
    auto converted = ChildProcess::run({ "xpstopdf", xps, m_folder.file("back.pdf") }, 60s);
    EXPECT_TRUE(converted.succeeded()) << converted.standardError;
    EXPECT_EQ(countPages(m_folder.file("back.pdf")), 1);
}

// Catches a damaged PDF reported as success, without the converter's reason, or leaving a file.
TEST_F(XpsWriterTest, DamagedOrMissingPdfFails)
{
    std::string damaged = m_folder.write("damaged.pdf", "%PDF-1.4\nnot really a PDF\n");
    XpsWriter writer;
    EXPECT_FALSE(writer.write(damaged, m_folder.file("damaged.xps")));
    EXPECT_NE(writer.errorMessage().find("Error"), std::string::npos) << writer.errorMessage();
    EXPECT_FALSE(std::filesystem::exists(m_folder.file("damaged.xps")));

    EXPECT_FALSE(writer.write(m_folder.file("absent.pdf"), m_folder.file("absent.xps")));
    EXPECT_NE(writer.errorMessage().find("absent.pdf"), std::string::npos) << writer.errorMessage();

    EXPECT_FALSE(writer.write(pdf("fnt-color"), m_folder.file("no/such/folder/out.xps")));
    EXPECT_NE(writer.errorMessage().find("out.xps"), std::string::npos);
}
