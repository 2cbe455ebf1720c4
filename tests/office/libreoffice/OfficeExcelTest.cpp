#include "office/ComError.h"
#include "office/OfficeFormat.h"
#include "tests/office/libreoffice/OfficePublishChecks.h"
#include "tests/office/libreoffice/OfficeTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <regex>

using namespace office;
using namespace officetest;

namespace {

PublishedSet publishWorkbook(const std::string& source, const TemporaryFolder& folder, bool withXps)
{
    PublishedSet set = outputsBeside(source, folder.path(), withXps);
    std::shared_ptr<ExcelWorkbook> workbook = sharedExcel()->workbooks()->open(source);
    EXPECT_TRUE(workbook) << source;
    if (!workbook)
        return set;
    EXPECT_FALSE(workbook->readOnlyRecommended()) << source;
    // The arguments the Excel publisher passes: empty passwords, no recommendation, no backup,
    // exclusive access.
    auto save = [&](const std::string& target, int32_t format) {
        return workbook->saveAs(target, format, std::string(), std::string(), false, false, 3);
    };
    EXPECT_EQ(save(set.text, excelFormat::currentPlatformText), hresult::ok);
    EXPECT_EQ(save(set.unicodeText, excelFormat::unicodeText), hresult::ok);
    EXPECT_EQ(save(set.html, excelFormat::html), hresult::ok);
    EXPECT_EQ(save(set.webArchive, excelFormat::webArchive), hresult::ok);
    EXPECT_EQ(save(set.pdf, excelFormat::pdf), hresult::ok);
    if (withXps) {
        EXPECT_EQ(save(set.xps, excelFormat::xps), hresult::ok);
    }
    EXPECT_EQ(workbook->close(), hresult::ok);
    return set;
}

std::vector<std::string> excelCorpus()
{
    std::vector<std::string> files;
    for (const std::string& file : corpusFiles("documents/excel", { ".xls", ".xlsx", ".xlsb" })) {
        if (file.find("corrupted_error") == std::string::npos)
            files.push_back(file);
    }
    files.push_back(corpus("office-crypto/plain.xls"));
    files.push_back(corpus("office-crypto/decrypted-example.xlsx"));
    return files;
}

}

// Catches the tables that programs export under a workbook's name refused or read as one
// column: HTML with or without its frame (UTF-8 declared, Windows-1252 not), SpreadsheetML,
// and comma- and tab-separated text in UTF-8 and UTF-16. Each publishes in every format with
// its cells in cells.
TEST(OfficeExcelTest, TablesNamedAsWorkbooksPublishInEveryFormat)
{
    TemporaryFolder folder;
    const std::u16string_view unicodeTab = u"Name\tAmount\nM\u00FCller\t1234.5\n";
    const std::pair<const char*, std::string> tables[] = {
        { "page.xls",
            "<html><head><meta charset=\"utf-8\"></head><body><table><tr><th>Name</th><th>Amount</th>"
            "</tr><tr><td>M\xC3\xBCller</td><td>1234.5</td></tr></table></body></html>" },
        { "bare.xls",
            "<table><tr><td>Name</td><td>Amount</td></tr><tr><td>M\xFCller</td><td>1234.5</td></tr></"
            "table>" },
        { "spreadsheetml.xls", R"(<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet"
 xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet"><Worksheet ss:Name="S"><Table>
<Row><Cell><Data ss:Type="String">Name</Data></Cell><Cell><Data ss:Type="String">Amount</Data></Cell></Row>
<Row><Cell><Data ss:Type="String">Müller</Data></Cell><Cell><Data ss:Type="Number">1234.5</Data></Cell></Row>
</Table></Worksheet></Workbook>)" },
        { "comma.xls", "Name,Amount\r\n\"M\xC3\xBCller\",1234.5\r\n" },
        // UTF-16 in the machine's byte order, little-endian here, after its mark.
        { "tab.xls",
            "\xFF\xFE"
                + std::string(reinterpret_cast<const char*>(unicodeTab.data()), 2 * unicodeTab.size()) },
    };
    // A browser's DOM holds the name and the number in cells side by side.
    const std::regex cells("M\xC3\xBCller(\\s|<[^>]*>)*</td>(\\s|<[^>]*>)*1234\\.5");
    for (const auto& [name, bytes] : tables) {
        SCOPED_TRACE(name);
        PublishedSet set
            = publishWorkbook(folder.write(name, bytes), folder, name == std::string("comma.xls"));
        std::string text = checkEveryOutput(set, folder.file("xps-render.pdf"));
        EXPECT_NE(text.find("Name\tAmount\r\nM\xC3\xBCller\t1234.5"), std::string::npos) << text;
        std::string pdf = pdfText(set.pdf);
        EXPECT_TRUE(pdf.find("M\xC3\xBCller") != pdf.npos && pdf.find("1234.5") != pdf.npos) << pdf;
        for (const std::string& page : { set.html, set.webArchive })
            EXPECT_TRUE(std::regex_search(chromiumDom(page), cells)) << page;
        EXPECT_EQ(readFile(set.source), bytes) << "the source changed";
    }
    EXPECT_EQ(sharedExcel()->workbooks()->count(), 0);
}

// Catches a format whose filter, separator, encoding or line ends are wrong for any real
// workbook, and a source workbook that a publish changes.
TEST(OfficeExcelTest, EveryCorpusWorkbookPublishesInEveryFormat)
{
    TemporaryFolder folder;
    std::vector<std::string> workbooks = excelCorpus();
    ASSERT_GE(workbooks.size(), 10u);
    for (size_t index = 0; index < workbooks.size(); ++index) {
        const std::string& source = workbooks[index];
        SCOPED_TRACE(source);
        std::string before = readFile(source);
        PublishedSet set = publishWorkbook(source, folder, index % 5 == 0);
        std::string text = checkEveryOutput(set, folder.file("xps-render.pdf"));
        EXPECT_EQ(readFile(source), before) << "the source changed";
    }
    EXPECT_EQ(sharedExcel()->workbooks()->count(), 0);
}

// Catches text exports that are not tab-separated or lose characters outside ASCII: the
// price list is Cyrillic, in cells of a table. (xlrd calls this workbook corrupted; Calc reads
// every cell of it, so it publishes.)
TEST(OfficeExcelTest, TextIsTabSeparatedAndKeepsCyrillic)
{
    TemporaryFolder folder;
    PublishedSet set = publishWorkbook(corpus("documents/excel/corrupted_error.xls"), folder, false);
    std::string unicode = checkTextPair(set);
    EXPECT_EQ(readFile(set.text), unicode);
    EXPECT_NE(unicode.find("ПРАЙС-ЛИСТ"), std::string::npos);
    EXPECT_NE(unicode.find("ТИП\tНаименование\tГОСТ"), std::string::npos);
    EXPECT_NE(pdfText(set.pdf).find("ПРАЙС-ЛИСТ"), std::string::npos);
}

// Catches workbook HTML or web archives that a browser cannot show.
TEST(OfficeExcelTest, BrowserShowsHtmlAndWebArchive)
{
    TemporaryFolder folder;
    PublishedSet set = publishWorkbook(corpus("office-crypto/plain.xls"), folder, false);
    EXPECT_NE(chromiumDom(set.html).find("lorem ipsum"), std::string::npos);
    EXPECT_NE(chromiumDom(set.webArchive).find("lorem ipsum"), std::string::npos);
}

// Catches a save that claims a read-only recommendation or a password it cannot write.
TEST(OfficeExcelTest, ProtectingSaveArgumentsAreRefused)
{
    TemporaryFolder folder;
    auto workbook = sharedExcel()->workbooks()->open(corpus("office-crypto/plain.xls"));
    ASSERT_TRUE(workbook);
    EXPECT_THROW(workbook->saveAs(folder.file("a.html"), excelFormat::html, std::string("secret")), ComError);
    EXPECT_THROW(workbook->saveAs(folder.file("b.html"), excelFormat::html, {}, {}, true), ComError);
    EXPECT_FALSE(fileExists(folder.file("a.html")));
    workbook->close();
}
