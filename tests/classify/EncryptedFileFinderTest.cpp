#include "classify/EncryptedFileFinder.h"
#include "tests/classify/ClassifyTestSupport.h"
#include "tests/support/CompoundFileWriter.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/ZipBuilder.h"

#include "foundation/OutOfMemoryException.h"

#include <gtest/gtest.h>

#include <string>

using classifytest::primaryStream;
using classifytest::wordFib;
using classifytest::xrmlLicence;

namespace {

struct Verdict {
    bool isProtected;
    ProtectionKind kind;
    std::string output;
};

Verdict inspect(const std::string& path)
{
    Verdict verdict { false, PROTECTION_NONE, std::string() };
    EncryptedFileFinder finder(TraceSink([&](std::string_view line) { verdict.output += line; }));
    verdict.isProtected = finder.isEncryptedFile(path.c_str(), verdict.kind);
    return verdict;
}

const std::string DrmTransform = std::string("\x09") + "DRMTransform";

}

// Catches the kinds swapped, or the IRM kind winning over a password.
TEST(EncryptedFileFinder, KindsOfOfficeDocuments)
{
    TemporaryFolder folder;
    std::string password = folder.file("password.doc");
    CompoundFileWriter().stream("WordDocument", wordFib(0xA5EC, 0x01)).write(password);
    std::string rights = folder.file("rights.doc");
    classifytest::writeRightsProtected(rights, DrmTransform, primaryStream(xrmlLicence("x")));
    std::string both = folder.file("both.doc");
    CompoundFileWriter()
        .stream(std::string("\x06") + "DataSpaces/TransformInfo/" + DrmTransform + "/\x06Primary", "p")
        .stream("WordDocument", wordFib(0xA5EC, 0x01))
        .write(both);
    std::string plain = folder.file("plain.doc");
    CompoundFileWriter().stream("WordDocument", wordFib(0xA5EC, 0x00)).write(plain);
    std::string rightsPackage = folder.file("rights.docx");
    classifytest::writeRightsProtected(
        rightsPackage, "DRMEncryptedTransform", primaryStream(xrmlLicence("x")));
    std::string encryptedPackage = folder.file("encrypted.docx");
    CompoundFileWriter().stream("EncryptionInfo", std::string(40, '\x04')).write(encryptedPackage);
    std::string package = folder.write(
        "package.docx", ZipBuilder().add("[Content_Types].xml", "<Types/>", 0x0006, 8).bytes());

    Verdict verdict = inspect(password);
    EXPECT_TRUE(verdict.isProtected);
    EXPECT_EQ(verdict.kind, PROTECTION_PASSWORD);
    verdict = inspect(rights);
    EXPECT_TRUE(verdict.isProtected);
    EXPECT_EQ(verdict.kind, PROTECTION_IRM);
    verdict = inspect(both);
    EXPECT_EQ(verdict.kind, PROTECTION_PASSWORD);
    verdict = inspect(plain);
    EXPECT_FALSE(verdict.isProtected);
    EXPECT_EQ(verdict.kind, PROTECTION_NONE);
    EXPECT_EQ(inspect(rightsPackage).kind, PROTECTION_IRM);
    EXPECT_EQ(inspect(encryptedPackage).kind, PROTECTION_PASSWORD);
    verdict = inspect(package);
    EXPECT_FALSE(verdict.isProtected);
    EXPECT_EQ(verdict.output, "");
}

// Catches the XPS group testing passwords, or rights management missed in an XPS document.
TEST(EncryptedFileFinder, XpsDocumentsHaveOnlyRightsManagement)
{
    TemporaryFolder folder;
    std::string rights = folder.file("rights.xps");
    classifytest::writeRightsProtected(rights, "DRMEncryptedTransform", primaryStream(xrmlLicence("x")));
    EXPECT_EQ(inspect(rights).kind, PROTECTION_IRM);
    std::string encrypted = folder.file("encrypted.xps");
    CompoundFileWriter().stream("EncryptionInfo", std::string(40, '\x04')).write(encrypted);
    EXPECT_FALSE(inspect(encrypted).isProtected);
}

// Catches a PDF or zip failure escaping the guard, or the trace line worded or counted wrongly:
// these are not the first kind in the table, and their failures count like the first one's.
TEST(EncryptedFileFinder, PdfAndZipFailuresLeaveATraceAndNoKind)
{
    TemporaryFolder folder;
    std::string fakePdf = folder.write("fake.pdf", "<html>not a pdf</html>");
    Verdict verdict = inspect(fakePdf);
    EXPECT_FALSE(verdict.isProtected);
    EXPECT_EQ(verdict.kind, PROTECTION_NONE);
    EXPECT_EQ(verdict.output, "Access error:1 " + fakePdf + "\n");

    std::string fakeZip = folder.write("fake.zip", "no local file header here");
    verdict = inspect(fakeZip);
    EXPECT_FALSE(verdict.isProtected);
    EXPECT_EQ(verdict.output, "Access error:1 " + fakeZip + "\n");

    std::string encryptedPdf = folder.write("locked.pdf", "%PDF-1.5\ntrailer << /Encrypt 3 0 R >>\n%%EOF\n");
    EXPECT_EQ(inspect(encryptedPdf).kind, PROTECTION_PASSWORD);
    std::string lockedZip
        = folder.write("locked.zip", ZipBuilder().add("a", "b", ZipBuilder::Encrypted).bytes());
    EXPECT_EQ(inspect(lockedZip).kind, PROTECTION_PASSWORD);
    std::string openZip
        = folder.write("open.zip", ZipBuilder().add("a", "b", ZipBuilder::Encrypted).add("c", "d").bytes());
    EXPECT_EQ(inspect(openZip).kind, PROTECTION_NONE);
    std::string foldersZip = folder.write("folders.zip", ZipBuilder().add("a/", "").bytes());
    EXPECT_EQ(inspect(foldersZip).kind, PROTECTION_NONE);
}

// Catches a missing file being reported as protected, or a crash on it, for any suffix.
TEST(EncryptedFileFinder, MissingFilesAreUnprotected)
{
    TemporaryFolder folder;
    for (const char* suffix : { ".doc", ".docx", ".docm", ".xls", ".xlsx", ".xlsm", ".xlsb", ".ppt", ".pps",
             ".pptx", ".pptm", ".ppsx", ".ppsm", ".xps", ".pdf", ".zip", ".txt" }) {
        Verdict verdict = inspect(folder.file(std::string("missing") + suffix));
        EXPECT_FALSE(verdict.isProtected) << suffix;
        EXPECT_EQ(verdict.kind, PROTECTION_NONE) << suffix;
    }
    ProtectionKind kind = PROTECTION_NONE;
    EXPECT_FALSE(EncryptedFileFinder(TraceSink()).isEncryptedFile(nullptr, kind));
}

// Catches a 5-byte ".docx" being read past its end or taken for a package.
TEST(EncryptedFileFinder, FiveByteDocxIsNothing)
{
    TemporaryFolder folder;
    Verdict verdict = inspect(folder.write("tiny.docx", "PK\x03\x04\x14"));
    EXPECT_FALSE(verdict.isProtected);
    EXPECT_EQ(verdict.kind, PROTECTION_NONE);
}

// Catches a suffix matched in the wrong case: extension tests ignore case.
TEST(EncryptedFileFinder, UpperCaseSuffixesAreTested)
{
    TemporaryFolder folder;
    std::string password = folder.file("PASSWORD.DOC");
    CompoundFileWriter().stream("WordDocument", wordFib(0xA5EC, 0x01)).write(password);
    EXPECT_EQ(inspect(password).kind, PROTECTION_PASSWORD);
    std::string pdf = folder.write("LOCKED.PDF", "%PDF-1.5 /Encrypt");
    EXPECT_EQ(inspect(pdf).kind, PROTECTION_PASSWORD);
}

// Catches running out of memory taken for an unreadable file: it must reach the caller instead
// of leaving a trace and an "unprotected" answer. No real file makes the tests run out of memory
// on demand, so a test that throws stands in for one.
TEST(EncryptedFileFinder, OutOfMemoryPassesThroughTheGuard)
{
    auto exhausted = [](const char*, ProtectionKind&) -> bool {
        throw OutOfMemoryException("String::String,1,Failed to create a string", 0);
    };
    ProtectionKind kind = PROTECTION_NONE;
    int failures = 0;
    std::string output;
    EncryptedFileFinder finder(TraceSink([&](std::string_view line) { output += line; }));
    EXPECT_THROW(finder.runGuarded(exhausted, "any.pdf", kind, failures), OutOfMemoryException);
    EXPECT_EQ(output, "");
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(kind, PROTECTION_NONE);
}
