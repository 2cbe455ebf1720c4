#include "office/ComError.h"
#include "office/OfficeFormat.h"
#include "office/libreoffice/ExportTarget.h"
#include "office/libreoffice/LibreOfficeWordDocument.h"
#include "tests/office/libreoffice/OfficeTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <utility>

using namespace office;
using namespace officetest;

namespace {

// Opens with Word and returns the error code, or ok when a document came back (and closes it).
HResult openError(const std::string& path)
{
    try {
        auto document = sharedWord()->documents()->open(path);
        if (document)
            document->close();
        return document ? hresult::ok : hresult::fail;
    } catch (const ComError& error) {
        return error.code();
    }
}

HResult openWorkbookError(const std::string& path)
{
    try {
        auto workbook = sharedExcel()->workbooks()->open(path);
        if (workbook)
            workbook->close();
        return workbook ? hresult::ok : hresult::fail;
    } catch (const ComError& error) {
        return error.code();
    }
}

}

// Catches a password prompt that waits (the watchdog would then report a timeout) or a
// protected document that opens as something else.
TEST(OfficeFailureTest, PasswordProtectedDocumentsFailAtOnce)
{
    for (const char* file : { "office-crypto/rc4cryptoapi_password.doc",
             "office-crypto/example_password.docx", "office-crypto/ecma376standard_password.docx" }) {
        SCOPED_TRACE(file);
        HResult code = openError(corpus(file));
        EXPECT_TRUE(failed(code));
        EXPECT_NE(code, hresult::callTimedOut);
    }
    for (const char* file : { "office-crypto/rc4cryptoapi_password.xls",
             "office-crypto/example_password.xlsx", "office-crypto/xor_password_123456789012345.xls" }) {
        SCOPED_TRACE(file);
        HResult code = openWorkbookError(corpus(file));
        EXPECT_TRUE(failed(code));
        EXPECT_NE(code, hresult::callTimedOut);
    }
    EXPECT_EQ(sharedWord()->documents()->count(), 0);
}

// Catches a damaged package that opens half-repaired (or waits for a repair answer) instead of
// failing.
TEST(OfficeFailureTest, DamagedDocumentFailsAtOnce)
{
    TemporaryFolder folder;
    std::string whole = readFile(corpus("documents/word/par-known-paragraphs.docx"));
    std::string damaged = folder.write("damaged.docx", whole.substr(0, whole.size() / 2));
    HResult code = openError(damaged);
    EXPECT_TRUE(failed(code));
    EXPECT_NE(code, hresult::callTimedOut);
    std::string workbook = readFile(corpus("documents/excel/sample.xlsx"));
    std::string damagedWorkbook = folder.write("damaged.xlsx", workbook.substr(0, workbook.size() / 2));
    code = openWorkbookError(damagedWorkbook);
    EXPECT_TRUE(failed(code));
    EXPECT_NE(code, hresult::callTimedOut);
}

// Catches a file of another kind opened as the nearest thing LibreOffice makes of it (its
// detection falls back to a plain-text import): an empty .docx, noise named .doc or .xls, text
// named .docx or .xlsx. Each gives no document, as Word and Excel give none; what those applications
// do open (an RTF or an HTML file named .doc) still opens.
TEST(OfficeFailureTest, FileOfAnotherKindGivesNoDocument)
{
    TemporaryFolder folder;
    std::string noise(40 * 1024, '\0');
    std::mt19937 random(20240601);
    for (char& byte : noise)
        byte = static_cast<char>(random());
    for (const std::string& path : { folder.write("empty.docx", ""), folder.write("noise.doc", noise),
             folder.write("notes.docx", "Meeting notes\nnothing but text\n") }) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(sharedWord()->documents()->open(path));
    }
    EXPECT_FALSE(sharedExcel()->workbooks()->open(folder.write("table.xlsx", "a,b,c\n1,2,3\n")));
    EXPECT_FALSE(sharedExcel()->workbooks()->open(folder.write("empty.xls", "")));
    EXPECT_FALSE(
        sharedPowerPoint()->presentations()->open(folder.write("noise.pptx", noise), true, false, false));
    // A Word document under the name of a workbook is no workbook either.
    std::string word = readFile(corpus("documents/word/par-known-paragraphs.docx"));
    EXPECT_FALSE(sharedExcel()->workbooks()->open(folder.write("word.xlsx", word)));
    // The name of a 97-2003 workbook, which takes HTML and text tables as well, takes no noise,
    // Word document or picture; the Open XML names take no table.
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImage(16, 16, QImage::Format_RGB32).save(&buffer, "PNG"));
    for (const std::string& path : { folder.write("noise.xls", noise),
             folder.write("word.xls", readFile(testData("office/read-only-recommended.doc"))),
             folder.write("picture.xls", png.toStdString()),
             folder.write("table.xlsm", "<table><tr><td>a</td><td>1</td></tr></table>") }) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(sharedExcel()->workbooks()->open(path));
    }

    const std::pair<std::string, const char*> opened[]
        = { { corpus("documents/word/par-known-paragraphs.docx"), "paragraph" },
              { folder.write("letter.doc", "{\\rtf1\\ansi A letter in RTF\\par}"), "letter" },
              { folder.write("page.doc", "<html><body><p>A page in HTML</p></body></html>"), "page" } };
    for (const auto& [path, word] : opened) {
        SCOPED_TRACE(path);
        auto document = sharedWord()->documents()->open(path);
        ASSERT_TRUE(document);
        std::string text = folder.file(std::filesystem::path(path).filename().string() + ".txt");
        EXPECT_EQ(document->saveAs(text, wordFormat::text), hresult::ok);
        document->close();
        EXPECT_NE(readFile(text).find(word), std::string::npos);
    }
    auto workbook = sharedExcel()->workbooks()->open(corpus("documents/excel/sample.xlsx"));
    ASSERT_TRUE(workbook);
    workbook->close();
    EXPECT_EQ(sharedWord()->documents()->count(), 0);
}

// Catches a missing file reaching the office (which would open an empty document).
TEST(OfficeFailureTest, MissingDocumentIsFileNotFound)
{
    TemporaryFolder folder;
    EXPECT_EQ(openError(folder.file("absent.docx")), hresult::fileNotFound);
    EXPECT_EQ(openError(folder.path()), hresult::fileNotFound);
}

// Catches a SaveAs that writes over the source, or accepts a format it cannot write.
TEST(OfficeFailureTest, SaveAsNeverWritesOverTheSourceOrInAnUnknownFormat)
{
    TemporaryFolder folder;
    std::string original = readFile(corpus("documents/word/par-known-paragraphs.docx"));
    std::string source = folder.write("report.docx", original);
    auto document = sharedWord()->documents()->open(source);
    ASSERT_TRUE(document);
    try {
        document->saveAs(folder.path() + "/./report.docx", wordFormat::text);
        ADD_FAILURE() << "saved over the source";
    } catch (const ComError& error) {
        EXPECT_EQ(error.code(), hresult::accessDenied);
    }
    EXPECT_THROW(document->saveAs(folder.file("report.docx.bin"), 12345), ComError);
    EXPECT_THROW(document->saveAs(folder.file("report.docx.doc")), ComError);
    EXPECT_FALSE(fileExists(folder.file("report.docx.bin")));
    document->close();
    EXPECT_EQ(readFile(source), original);
    EXPECT_THROW(document->close(), ComError) << "a closed document closed again";
}

// Catches read-only recommendations that are lost on the way from any of the three formats.
TEST(OfficeFailureTest, ReadOnlyRecommendationIsReported)
{
    for (const char* file : { "office/read-only-recommended.docx", "office/read-only-recommended.doc" }) {
        SCOPED_TRACE(file);
        auto document = sharedWord()->documents()->open(testData(file));
        ASSERT_TRUE(document);
        EXPECT_TRUE(document->readOnlyRecommended());
        document->close();
    }
    auto workbook = sharedExcel()->workbooks()->open(testData("office/read-only-recommended.xlsx"));
    ASSERT_TRUE(workbook);
    EXPECT_TRUE(workbook->readOnlyRecommended());
    workbook->close();
    // The same documents without the flag, so that a reader that always says yes fails.
    auto plain
        = sharedWord()->documents()->open(corpus("office-crypto/decrypted-rc4cryptoapi_password_plain.doc"));
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->readOnlyRecommended());
    plain->close();
}

// Catches AutomationSecurity that does not reach the documents opened after it. LibreOffice
// records the mode it was given for "low" and "force disable"; "by UI" asks it to decide from
// its configuration, which for a document without macros it resolves to a concrete mode, so
// only its mapping and that it is not the forced one are checked.
TEST(OfficeFailureTest, AutomationSecurityBecomesTheMacroExecutionMode)
{
    auto word = sharedWord();
    auto openedMode = [&](int32_t security) {
        word->setAutomationSecurity(security);
        auto document = std::dynamic_pointer_cast<LibreOfficeWordDocument>(
            word->documents()->open(corpus("office-crypto/plain.doc")));
        EXPECT_TRUE(document);
        int16_t mode = document ? document->macroExecutionMode() : -1;
        if (document)
            document->close();
        return mode;
    };
    EXPECT_EQ(openedMode(automationSecurity::low), 4);
    EXPECT_EQ(openedMode(automationSecurity::forceDisable), 0);
    EXPECT_EQ(macroExecutionModeFor(automationSecurity::byUi), 5);
    EXPECT_NE(openedMode(automationSecurity::byUi), 0);
    EXPECT_EQ(openedMode(automationSecurity::forceDisable), 0)
        << "a later setting did not replace the earlier";
    word->setAutomationSecurity(automationSecurity::forceDisable);
}

// Catches calls on a quit application that still reach the office.
TEST(OfficeFailureTest, QuitApplicationRefusesFurtherCalls)
{
    std::shared_ptr<WordApplication> word;
    ASSERT_EQ(sharedOffice().createApplication("Word.Application", word), hresult::ok);
    auto document = word->documents()->open(corpus("office-crypto/plain.doc"));
    ASSERT_TRUE(document);
    word->quit();
    EXPECT_THROW(word->documents(), ComError);
    EXPECT_THROW(word->setVisible(false), ComError);
    EXPECT_THROW(document->saveAs("/tmp/never.txt", wordFormat::text), ComError)
        << "quit left the document open";
}
