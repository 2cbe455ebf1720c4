#include "office/ComError.h"
#include "office/OfficeFormat.h"
#include "office/WordApplication.h"
#include "office/libreoffice/ExportTarget.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "office/libreoffice/LibreOfficeProfile.h"
#include "office/libreoffice/TextForm.h"

#include <gtest/gtest.h>

using namespace office;

// Catches fallback texts that differ from the Windows error type's.
TEST(OfficeAutomationTest, ErrorTextsFallBackLikeTheComErrorType)
{
    EXPECT_EQ(ComError::messageFor(static_cast<HResult>(0x80040201u)), "IDispatch error #1");
    EXPECT_EQ(ComError::messageFor(static_cast<HResult>(0x8004FFFFu)), "IDispatch error #65023");
    EXPECT_EQ(ComError::messageFor(static_cast<HResult>(0x80040200u)), "Unknown error 0x80040200");
    EXPECT_EQ(ComError::messageFor(static_cast<HResult>(0x80050000u)), "Unknown error 0x80050000");
    EXPECT_EQ(ComError::messageFor(hresult::fail), "Unspecified error");
    ComError error(hresult::disconnected, "LibreOffice ended");
    EXPECT_EQ(error.errorMessage(), "The object invoked has disconnected from its clients.");
    EXPECT_EQ(error.description(), "LibreOffice ended");
}

// Catches an automation failure that a handler for the library's exceptions does not see, or
// that reaches it without its result code and texts.
TEST(OfficeAutomationTest, ComErrorIsOneOfTheLibrarysExceptions)
{
    try {
        throw ComError(hresult::disconnected, "LibreOffice ended");
    } catch (const Exception& error) {
        EXPECT_EQ(error.getErrorCode(), hresult::disconnected);
        EXPECT_STREQ(
            error.getMessage(), "The object invoked has disconnected from its clients. (LibreOffice ended)");
    }
    ComError bare(hresult::fail);
    EXPECT_STREQ(bare.getMessage(), "Unspecified error");
    EXPECT_EQ(bare.code(), hresult::fail);
    ComError copy = bare;
    EXPECT_STREQ(copy.getMessage(), "Unspecified error");
    EXPECT_EQ(copy.errorMessage(), "Unspecified error");
}

// Catches a ProgID that starts an office it should not, or a bad class string taken as a class.
TEST(OfficeAutomationTest, UnknownProgIdsAndClassStringsAreRefusedWithoutStartingAnOffice)
{
    LibreOfficeAutomation automation;
    std::shared_ptr<AutomationApplication> application;
    EXPECT_EQ(automation.createInstance("Visio.Application", application), hresult::invalidClassString);
    EXPECT_EQ(automation.createInstance("{not-a-class}", application), hresult::invalidClassString);
    EXPECT_EQ(automation.createInstance("{00000000-0000-0000-0000-000000000000}", application),
        hresult::classNotRegistered);
    EXPECT_FALSE(application);
    EXPECT_EQ(automation.officeStartCount(), 0);
}

// Catches a Word code mapped to the wrong target, or Excel's text code confused with Word's.
TEST(OfficeAutomationTest, FormatCodesSelectTheirTargets)
{
    EXPECT_EQ(wordExportTarget(8), ExportTarget::Html);
    EXPECT_EQ(wordExportTarget(9), ExportTarget::WebArchive);
    EXPECT_EQ(wordExportTarget(2), ExportTarget::Text);
    EXPECT_EQ(wordExportTarget(7), ExportTarget::UnicodeText);
    EXPECT_EQ(wordExportTarget(17), ExportTarget::Pdf);
    EXPECT_EQ(wordExportTarget(18), ExportTarget::Xps);
    EXPECT_FALSE(wordExportTarget(0));
    EXPECT_EQ(excelExportTarget(44), ExportTarget::Html);
    EXPECT_EQ(excelExportTarget(45), ExportTarget::WebArchive);
    EXPECT_EQ(excelExportTarget(-4158), ExportTarget::Text);
    EXPECT_EQ(excelExportTarget(42), ExportTarget::UnicodeText);
    EXPECT_FALSE(excelExportTarget(2));
    EXPECT_EQ(macroExecutionModeFor(0), 0);
    EXPECT_EQ(macroExecutionModeFor(4), 0);
}

// Catches line ends or byte order marks left as the filters wrote them.
TEST(OfficeAutomationTest, TextFormsAreWordsOwn)
{
    EXPECT_EQ(textForm::utf8WithCrlf("\xEF\xBB\xBF"
                                     "a\nb\r\nc\rd"),
        "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(textForm::utf16LeWithBom("a\n\xC3\xA9"),
        std::string("\xFF\xFE"
                    "a\0\r\0\n\0\xE9\0",
            10));
    EXPECT_EQ(textForm::utf16LeWithBom("\xF0\x9F\x98\x80"), std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6));
    EXPECT_EQ(textForm::normalizedUtf16Le(std::string("a\0\n\0", 4)),
        std::string("\xFF\xFE"
                    "a\0\r\0\n\0",
            8));
    EXPECT_EQ(
        textForm::normalizedUtf16Le(std::string("\xFF\xFE\r\0\n\0", 6)), std::string("\xFF\xFE\r\0\n\0", 6));
}

// Catches a lenient decoder that turns an overlong form into the character it spells or an
// encoded surrogate into a lone UTF-16 surrogate: every byte of such a sequence becomes U+FFFD.
TEST(OfficeAutomationTest, UnicodeTextReplacesMalformedUtf8)
{
    // "\xC0\xAF" is an overlong '/'; "\xE0\x80\xAF" is a three-byte overlong '/'.
    EXPECT_EQ(textForm::utf16LeWithBom("a\xC0\xAF"),
        std::string("\xFF\xFE"
                    "a\0\xFD\xFF\xFD\xFF",
            8));
    EXPECT_EQ(textForm::utf16LeWithBom("\xE0\x80\xAF"), std::string("\xFF\xFE\xFD\xFF\xFD\xFF\xFD\xFF", 8));
    // "\xED\xA0\x80" encodes the lone surrogate U+D800.
    EXPECT_EQ(textForm::utf16LeWithBom("\xED\xA0\x80"
                                       "b"),
        std::string("\xFF\xFE\xFD\xFF\xFD\xFF\xFD\xFF"
                    "b\0",
            10));
}

// Catches a profile that LibreOffice would take for a first start.
TEST(OfficeAutomationTest, ProfileRecordsTheInstalledRelease)
{
    std::string settings = LibreOfficeProfile::seedSettings();
    EXPECT_NE(settings.find("ooSetupLastVersion\" oor:op=\"fuse\"><value>7."), std::string::npos) << settings;
    EXPECT_NE(settings.find("LastCompatibilityCheckID"), std::string::npos);
    std::string folder;
    {
        LibreOfficeProfile profile;
        ASSERT_TRUE(profile.create());
        folder = profile.folder();
        EXPECT_EQ(profile.url(), "file://" + folder);
    }
    EXPECT_NE(access(folder.c_str(), F_OK), 0) << "the profile folder outlived its profile";
}
