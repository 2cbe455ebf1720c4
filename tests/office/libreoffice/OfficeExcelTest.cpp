#include "office/ComError.h"
#include "office/OfficeFormat.h"
#include "tests/office/libreoffice/OfficePublishChecks.h"
#include "tests/office/libreoffice/OfficeTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>


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
