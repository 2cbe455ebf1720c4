#include "classify/OfficeDocument.h"
#include "classify/FileType.h"
#include "tests/classify/ClassifyTestSupport.h"
#include "tests/support/CompoundFileWriter.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/file.h>
#include <unistd.h>

using classifytest::primaryStream;
using classifytest::writeRightsProtected;
using classifytest::xrmlLicence;

namespace {

const std::string DrmTransform = std::string("\x09") + "DRMTransform";
const std::string DrmEncryptedTransform = "DRMEncryptedTransform";

}

// Catches the transform storage chosen by the wrong rule for a suffix.
TEST(OfficeDocument, TransformStorageFollowsTheFormatFamily)
{
    TemporaryFolder folder;
    std::string licence = primaryStream(xrmlLicence("owner@example.com"));
    for (const char* name : { "legacy.doc", "legacy.xls", "legacy.ppt" }) {
        std::string path = folder.file(name);
        writeRightsProtected(path, DrmTransform, licence);
        EXPECT_EQ(OfficeDocument::IsIRMProtected(path.c_str()), 1) << name;
        writeRightsProtected(path, DrmEncryptedTransform, licence);
        EXPECT_EQ(OfficeDocument::IsIRMProtected(path.c_str()), 202) << name;
    }
    for (const char* name : { "package.docx", "package.xlsm", "package.ppsm", "printed.xps" }) {
        std::string path = folder.file(name);
        writeRightsProtected(path, DrmEncryptedTransform, licence);
        EXPECT_EQ(OfficeDocument::IsIRMProtected(path.c_str()), 1) << name;
        writeRightsProtected(path, DrmTransform, licence);
        EXPECT_EQ(OfficeDocument::IsIRMProtected(path.c_str()), 202) << name;
    }
}

// Catches each failure step answering with another step's code.
TEST(OfficeDocument, EveryFailureHasItsCode)
{
    TemporaryFolder folder;
    EXPECT_EQ(OfficeDocument::IsIRMProtected(nullptr), 100);
    EXPECT_EQ(OfficeDocument::IsIRMProtected(folder.file("missing.doc").c_str()), 101);

    std::string package = folder.write("package.docx",
        std::string(reinterpret_cast<const char*>(ZIP_PACKAGE_SIGNATURE), 10) + std::string(100, '\0'));
    EXPECT_EQ(OfficeDocument::IsIRMProtected(package.c_str()), 0);

    std::string text = folder.write("text.doc", "no compound file at all");
    EXPECT_EQ(OfficeDocument::IsIRMProtected(text.c_str()), 201);

    std::string noSpaces = folder.file("nospaces.doc");
    CompoundFileWriter().stream("WordDocument", classifytest::wordFib(0xA5EC, 0)).write(noSpaces);
    EXPECT_EQ(OfficeDocument::IsIRMProtected(noSpaces.c_str()), 202);

    std::string halfChain = folder.file("half.doc");
    CompoundFileWriter().storage(std::string("\x06") + "DataSpaces/TransformInfo").write(halfChain);
    EXPECT_EQ(OfficeDocument::IsIRMProtected(halfChain.c_str()), 202);

    std::string noPrimary = folder.file("noprimary.doc");
    writeRightsProtected(noPrimary, DrmTransform, "", false);
    EXPECT_EQ(OfficeDocument::IsIRMProtected(noPrimary.c_str()), 105);

    // A storage by the stream's name is not the stream.
    std::string primaryStorage = folder.file("primarystorage.doc");
    CompoundFileWriter()
        .storage(std::string("\x06") + "DataSpaces/TransformInfo/" + DrmTransform + "/\x06Primary")
        .write(primaryStorage);
    EXPECT_EQ(OfficeDocument::IsIRMProtected(primaryStorage.c_str()), 105);
}

// Catches an open that asks for write access: a read-only protected document is still protected.
TEST(OfficeDocument, ReadOnlyDocumentIsStillProtected)
{
    TemporaryFolder folder;
    std::string path = folder.file("readonly.doc");
    writeRightsProtected(path, DrmTransform, primaryStream(xrmlLicence("a")));
    std::filesystem::permissions(
        path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    EXPECT_EQ(OfficeDocument::IsIRMProtected(path.c_str()), 1);
}

// Names compare as compound files compare them, so a differently cased chain still counts.
TEST(OfficeDocument, StorageNamesIgnoreCase)
{
    TemporaryFolder folder;
    std::string path = folder.file("cased.doc");
    CompoundFileWriter()
        .stream(std::string("\x06") + "DATASPACES/transforminfo/\x09" + "drmtransform/\x06PRIMARY", "x")
        .write(path);
    EXPECT_EQ(OfficeDocument::IsIRMProtected(path.c_str()), 1);
}

// Catches a document held by another program being opened anyway: it cannot be opened without
// sharing, so it reads as unprotected.
TEST(OfficeDocument, DocumentInUseReadsAsUnprotected)
{
    TemporaryFolder folder;
    std::string path = folder.file("held.doc");
    writeRightsProtected(path, DrmTransform, primaryStream(xrmlLicence("a")));
    int descriptor = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(::flock(descriptor, LOCK_SH), 0);
    EXPECT_EQ(OfficeDocument::IsIRMProtected(path.c_str()), 201);
    ::close(descriptor);
    EXPECT_EQ(OfficeDocument::IsIRMProtected(path.c_str()), 1);
}
