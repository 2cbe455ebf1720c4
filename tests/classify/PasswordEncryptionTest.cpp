#include "classify/PasswordEncryption.h"
#include "tests/classify/ClassifyTestSupport.h"
#include "tests/support/CompoundFileWriter.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

using classifytest::currentUserAtom;
using classifytest::excelRecords;
using classifytest::wordFib;

namespace {

std::string writeWord(
    const TemporaryFolder& folder, const std::string& name, unsigned identifier, unsigned char flagsHigh)
{
    std::string path = folder.file(name);
    CompoundFileWriter().stream("WordDocument", wordFib(identifier, flagsHigh)).write(path);
    return path;
}

}

// Catches a wrong flag bit, a wrong byte of the flags word, or a missing write-reservation test.
TEST(PasswordEncryption, WordFlagsOfTheFileInformationBlock)
{
    TemporaryFolder folder;
    EXPECT_EQ(isEncryptedWordFile(writeWord(folder, "open.doc", 0xA5EC, 0x01).c_str()), 1);
    EXPECT_EQ(isEncryptedWordFile(writeWord(folder, "modify.doc", 0xA5EC, 0x08).c_str()), 1);
    EXPECT_EQ(isEncryptedWordFile(writeWord(folder, "plain.doc", 0xA5EC, 0x00).c_str()), 0);
    // Other flags of the same byte (dot, glossary, complex, pictures) are no password.
    EXPECT_EQ(isEncryptedWordFile(writeWord(folder, "others.doc", 0xA5EC, 0xF6).c_str()), 0);
    EXPECT_TRUE(isPasswordEncrypted(folder.file("open.doc").c_str()));
    EXPECT_TRUE(isPasswordEncrypted(folder.file("modify.doc").c_str()));
    EXPECT_FALSE(isPasswordEncrypted(folder.file("plain.doc").c_str()));
}

// Catches an identifier bound that lets Word 6/95 files through or shuts Word 6 out.
TEST(PasswordEncryption, WordIdentifiersBelowWord6AreNeverEncrypted)
{
    TemporaryFolder folder;
    EXPECT_EQ(isEncryptedWordFile(writeWord(folder, "old.doc", 0xA5DB, 0x09).c_str()), 0);
    EXPECT_EQ(isEncryptedWordFile(writeWord(folder, "word6.doc", 0xA5DC, 0x01).c_str()), 1);
}

// Catches a missing stream or a foreign file read as "not encrypted" rather than its own code.
TEST(PasswordEncryption, FormatTestsReportUnopenableFilesAndMissingStreams)
{
    TemporaryFolder folder;
    std::string empty = folder.file("empty.doc");
    CompoundFileWriter().stream("Other", "x").write(empty);
    std::string text = folder.write("text.doc", "just some text, no compound file");
    using PathTest = int (*)(const char*);
    for (PathTest test : std::initializer_list<PathTest> {
             isEncryptedWordFile, isEncryptedPowerPointFile, isEncryptedExcelFile, isEncryptedPackageFile }) {
        EXPECT_EQ(test(empty.c_str()), -2);
        EXPECT_EQ(test(text.c_str()), -1);
        EXPECT_EQ(test(folder.file("missing.doc").c_str()), -1);
    }
    // A truncated Word stream gives "not encrypted", not a read past its end.
    std::string shortStream = folder.file("short.doc");
    CompoundFileWriter().stream("WordDocument", "\xEC\xA5").write(shortStream);
    EXPECT_EQ(isEncryptedWordFile(shortStream.c_str()), 0);
}

// Catches the record type read at the wrong offset, or one of the two records forgotten.
TEST(PasswordEncryption, ExcelRecordAfterBof)
{
    TemporaryFolder folder;
    auto write = [&](const std::string& name, unsigned type) {
        std::string path = folder.file(name);
        CompoundFileWriter().stream("Workbook", excelRecords(type)).write(path);
        return path;
    };
    EXPECT_EQ(isEncryptedExcelFile(write("filepass.xls", 0x002F).c_str()), 1);
    EXPECT_EQ(isEncryptedExcelFile(write("writeprot.xls", 0x0086).c_str()), 1);
    EXPECT_EQ(isEncryptedExcelFile(write("codepage.xls", 0x0042).c_str()), 0);
    EXPECT_TRUE(isPasswordEncrypted(folder.file("filepass.xls").c_str()));
    EXPECT_FALSE(isPasswordEncrypted(folder.file("codepage.xls").c_str()));
}

// Catches an encrypted presentation missed when PowerPoint wrote no "EncryptedSummary" stream.
TEST(PasswordEncryption, PowerPointSummaryStreamOrCurrentUserToken)
{
    TemporaryFolder folder;
    std::string summary = folder.file("summary.ppt");
    CompoundFileWriter()
        .stream("EncryptedSummary", std::string(64, '\x01'))
        .stream("Current User", currentUserAtom(0xE391C05F))
        .write(summary);
    std::string token = folder.file("token.pps");
    CompoundFileWriter().stream("Current User", currentUserAtom(0xF3D1C4DF)).write(token);
    std::string plain = folder.file("plain.ppt");
    CompoundFileWriter().stream("Current User", currentUserAtom(0xE391C05F)).write(plain);
    std::string truncated = folder.file("truncated.ppt");
    CompoundFileWriter().stream("Current User", currentUserAtom(0xF3D1C4DF).substr(0, 14)).write(truncated);

    EXPECT_EQ(isEncryptedPowerPointFile(summary.c_str()), 1);
    EXPECT_EQ(isEncryptedPowerPointFile(token.c_str()), 1);
    EXPECT_EQ(isEncryptedPowerPointFile(plain.c_str()), -2);
    EXPECT_EQ(isEncryptedPowerPointFile(truncated.c_str()), -2);
    EXPECT_TRUE(isPasswordEncrypted(summary.c_str()));
    EXPECT_TRUE(isPasswordEncrypted(token.c_str()));
    EXPECT_FALSE(isPasswordEncrypted(plain.c_str()));
}

// Catches a suffix left out of the package test (".ppsm" among them) or XPS tested at all.
TEST(PasswordEncryption, EncryptedPackagesByEveryOffice2007Suffix)
{
    TemporaryFolder folder;
    for (const char* suffix :
        { ".docx", ".docm", ".pptx", ".pptm", ".ppsx", ".ppsm", ".xlsb", ".xlsx", ".xlsm" }) {
        std::string path = folder.file(std::string("encrypted") + suffix);
        CompoundFileWriter()
            .stream("EncryptionInfo", std::string(64, '\x04'))
            .stream("EncryptedPackage", std::string(100, '\x05'))
            .write(path);
        SCOPED_TRACE(path);
        EXPECT_EQ(isEncryptedPackageFile(path.c_str()), 1);
        EXPECT_TRUE(isPasswordEncrypted(path.c_str()));
    }
    std::string xps = folder.file("encrypted.xps");
    CompoundFileWriter().stream("EncryptionInfo", std::string(64, '\x04')).write(xps);
    EXPECT_FALSE(isPasswordEncrypted(xps.c_str()));
    EXPECT_FALSE(isPasswordEncrypted(folder.file("missing.docx").c_str()));
    EXPECT_FALSE(isPasswordEncrypted(nullptr));
}
