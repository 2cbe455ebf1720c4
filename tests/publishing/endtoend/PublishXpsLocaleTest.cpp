// Whole publishes through pressling-cli as a German user runs them: the program and the office
// take their locale from the environment, whose decimal separator is a comma.
#include "EndToEndSupport.h"
#include "EngineTestSupport.h"

#include "platform/ChildProcess.h"

#include <QImage>
#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <filesystem>
#include <regex>

namespace fs = std::filesystem;
using platform::ChildProcess;
using namespace std::chrono_literals;

namespace {

const char* const commaLocale = "de_DE.UTF-8";

// The share of 8 x 8 blocks holding ink in either render that hold ink in both (1 when neither
// has any); -1 when a render cannot be read or the two differ in size.
double inkOverlap(const std::string& pngA, const std::string& pngB)
{
    QImage a(QString::fromStdString(pngA));
    QImage b(QString::fromStdString(pngB));
    if (a.isNull() || b.isNull() || std::abs(a.width() - b.width()) > 2
        || std::abs(a.height() - b.height()) > 2)
        return -1;
    auto inked = [](const QImage& image, int x, int y) {
        for (int dy = 0; dy < 8; ++dy) {
            for (int dx = 0; dx < 8; ++dx) {
                if (x + dx >= image.width() || y + dy >= image.height())
                    continue;
                QRgb pixel = image.pixel(x + dx, y + dy);
                // Transparent pixels are the white paper.
                if (qAlpha(pixel) > 128 && qRed(pixel) + qGreen(pixel) + qBlue(pixel) < 3 * 220)
                    return true;
            }
        }
        return false;
    };
    int both = 0, either = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); y += 8) {
        for (int x = 0; x < std::min(a.width(), b.width()); x += 8) {
            bool p = inked(a, x, y), q = inked(b, x, y);
            both += p && q;
            either += p || q;
        }
    }
    return either == 0 ? 1.0 : static_cast<double>(both) / either;
}

std::string unzipped(const std::string& package, const std::string& part)
{
    return ChildProcess::run({ "unzip", "-p", package, part }, 30s).standardOutput;
}

}

// Catches numbers written with the locale's decimal comma (Width="816,", RenderTransform=
// "1,333333,0,,0,...") in an XPS that the job still reports as OK, and numbers of the SVG pages
// read through the locale: both XPS readers must draw what the PDF shows.
TEST(PublishXpsUnderACommaLocale, BothReadersDrawWhatThePdfShows)
{
    // The install script generates the locale; without it this cannot be tested, which is a
    // failure of the machine's set-up, not a reason to pass.
    locale_t probe = newlocale(LC_ALL_MASK, commaLocale, nullptr);
    ASSERT_NE(probe, nullptr) << commaLocale << " is not installed: run scripts/install-deps.sh";
    freelocale(probe);

    TestRegistry registry;
    TemporaryFolder folder;
    std::vector<std::string> documents = { copyCorpusDocument("word/fnt-color.docx", folder.path()),
        copyCorpusDocument("word/tbl-having-tables.docx", folder.path()) };
    ChildProcess::Options options = cliOptions(registry.folder().path());
    options.environment.insert(
        options.environment.end(), { { "LC_ALL", commaLocale }, { "LANG", commaLocale } });
    for (const char* format : { "xps", "pdf" }) {
        auto result = ChildProcess::run(
            { PRESSLING_CLI_PATH, "publish", "--format", format, documents[0], documents[1] }, 5min, options);
        ASSERT_TRUE(result.succeeded()) << format << ": " << result.standardOutput << result.standardError;
        EXPECT_EQ(textLines(result.standardOutput),
            (std::vector<std::string> { "OK\t" + documents[0], "OK\t" + documents[1],
                "Publishing Result: Total=2   Scucceeded=2   Failed=0" }));
    }

    for (const std::string& document : documents) {
        std::string xps = document + ".xps";
        std::string page = unzipped(xps, "Documents/1/Pages/1.fpage");
        // Letter at 96 units per inch, and the points of the SVG page scaled to those units.
        EXPECT_NE(page.find("Width=\"816\" Height=\"1056\""), std::string::npos) << page.substr(0, 300);
        EXPECT_NE(page.find("<Canvas RenderTransform=\"1.333333,0,0,1.333333,0,0\">"), std::string::npos);
        // No value ends in a comma or holds two in a row, as a decimal comma would leave.
        EXPECT_FALSE(std::regex_search(page, std::regex(",\"|,,"))) << document;
        EXPECT_NE(unzipped(xps, "Documents/1/FixedDocument.fdoc").find("Width=\"816\" Height=\"1056\""),
            std::string::npos);

        std::string stem = folder.file(fs::path(document).stem().string());
        ASSERT_TRUE(ChildProcess::run({ "pdftoppm", "-r", "48", "-png", "-f", "1", "-l", "1", "-singlefile",
                                          document + ".pdf", stem + "-pdf" },
            120s)
                        .succeeded());
        auto gxps
            = ChildProcess::run({ "xpstopng", "-r", "48", "-f", "1", "-l", "1", xps, stem + "-gxps" }, 120s);
        ASSERT_TRUE(gxps.succeeded()) << gxps.standardError;
        auto mupdf = ChildProcess::run(
            { "mutool", "draw", "-q", "-r", "48", "-o", stem + "-mupdf.png", xps, "1" }, 120s);
        ASSERT_TRUE(mupdf.succeeded()) << mupdf.standardError;
        for (const std::string& render : { stem + "-gxps-1.png", stem + "-mupdf.png" }) {
            ASSERT_TRUE(fs::exists(render)) << render;
            double overlap = inkOverlap(stem + "-pdf.png", render);
            EXPECT_GE(overlap, 0.7) << render;
        }
    }
}

// Catches tables whose numbers the office reads through a German user's locale wrongly
// (1234.5 shown as 1234,5, 1234,5 as 12345, an ISO date turned German), and noise published.
TEST(PublishTablesUnderACommaLocale, NumbersArePublishedAsWritten)
{
    TestRegistry registry;
    TemporaryFolder folder;
    const std::string comma
        = folder.write("export.xls", "Name,Amount,Date\r\n\"Smith, J\",1234.5,2024-01-31\r\n");
    const std::string semicolon = folder.write("bericht.xls", "Name;Betrag\r\nM\xFCller;1234,5\r\n");
    const std::string page
        = folder.write("report.xls", "<table><tr><td>Jones</td><td>7.25</td></tr></table>");
    const std::string noise = folder.write("noise.xls", std::string("PK\x03\x04\0\0\x01\x02", 8));
    ChildProcess::Options options = cliOptions(registry.folder().path());
    options.environment.insert(
        options.environment.end(), { { "LC_ALL", commaLocale }, { "LANG", commaLocale } });
    auto result = ChildProcess::run(
        { PRESSLING_CLI_PATH, "publish", "--format", "text", comma, semicolon, page, noise }, 5min, options);
    EXPECT_EQ(textLines(result.standardOutput),
        (std::vector<std::string> { "OK\t" + comma, "OK\t" + semicolon, "OK\t" + page, "NG\t" + noise,
            "Publishing Result: Total=4   Scucceeded=3   Failed=1" }));
    EXPECT_EQ(readFile(comma + ".txt"), "Name\tAmount\tDate\r\nSmith, J\t1234.5\t2024-01-31\r\n");
    EXPECT_EQ(readFile(semicolon + ".txt"), "Name\tBetrag\r\nM\xC3\xBCller\t1234,5\r\n");
    EXPECT_EQ(readFile(page + ".txt"), "Jones\t7.25\r\n");
}
