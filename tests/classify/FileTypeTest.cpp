#include "classify/FileType.h"
#include "tests/classify/ClassifyTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <string>

namespace {

// The first bytes of a package written by Office: a local header with flags 0x0006 and deflate.
std::string officePackageStart()
{
    return std::string(reinterpret_cast<const char*>(ZIP_PACKAGE_SIGNATURE), sizeof(ZIP_PACKAGE_SIGNATURE))
        + std::string(40, '\0');
}

}

// Catches a comparison that folds case in the wrong place, or one that matches anywhere in the name.
TEST(FileType, EndsWithFoldsLettersAndComparesTheEndOnly)
{
    EXPECT_TRUE(endsWith("a.pdf", ".PDF"));
    EXPECT_TRUE(endsWith("REPORT.DOC", ".doc"));
    EXPECT_FALSE(endsWith("report.doc.bak", ".doc"));
    EXPECT_FALSE(endsWith(nullptr, ".pdf"));
    EXPECT_FALSE(endsWith("a.pdf", nullptr));
    EXPECT_FALSE(endsWith("pdf", ".pdf"));
    EXPECT_TRUE(endsWith("anything", ""));
    EXPECT_TRUE(endsWith(".doc", ".doc"));
    // Only ASCII letters fold: other bytes must be equal as they are.
    EXPECT_FALSE(endsWith("a.\xC4", "\xE4"));
    EXPECT_FALSE(endsWith("a[", "{"));
    FileType fileType;
    EXPECT_TRUE(fileType.endsWith("x.Zip", ".zip"));
}

// Catches a prefix test that ignores case or stops early.
TEST(FileType, StartsWithComparesBytesExactly)
{
    EXPECT_TRUE(startsWith("PK\x03\x04rest", "PK\x03\x04", 4));
    EXPECT_FALSE(startsWith("pk\x03\x04", "PK\x03\x04", 4));
    EXPECT_FALSE(startsWith("PK\x03\x05", "PK\x03\x04", 4));
    EXPECT_TRUE(startsWith("abc", "abd", 2));
}

// Catches a wrong or missing entry in any of the tables.
TEST(FileType, EveryTableHoldsItsSuffixesAndNoOthers)
{
    FileType type;
    struct Row {
        const char* suffix;
        bool word, powerPoint, excel, office2003, office2007, package, xps;
    };
    const Row rows[] = {
        { ".doc", true, false, false, true, false, false, false },
        { ".docx", true, false, false, false, true, true, false },
        { ".docm", true, false, false, false, true, true, false },
        { ".ppt", false, true, false, true, false, false, false },
        { ".pps", false, true, false, true, false, false, false },
        { ".pptx", false, true, false, false, true, true, false },
        { ".pptm", false, true, false, false, true, true, false },
        { ".ppsx", false, true, false, false, true, true, false },
        { ".ppsm", false, true, false, false, true, true, false },
        { ".xls", false, false, true, true, false, false, false },
        { ".xlsb", false, false, true, false, true, true, false },
        { ".xlsx", false, false, true, false, true, true, false },
        { ".xlsm", false, false, true, false, true, true, false },
        { ".xps", false, false, false, false, false, true, true },
        { ".pdf", false, false, false, false, false, false, false },
        { ".zip", false, false, false, false, false, false, false },
        { ".htm", false, false, false, false, false, false, false },
        { ".dot", false, false, false, false, false, false, false },
    };
    for (const Row& row : rows) {
        std::string upper = std::string("/folder/NAME") + row.suffix;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (const std::string& path : { std::string("/folder/name") + row.suffix, upper }) {
            SCOPED_TRACE(path);
            const char* p = path.c_str();
            bool office = row.word || row.powerPoint || row.excel;
            EXPECT_EQ(type.isWordFile(p), row.word);
            EXPECT_EQ(type.isPowerPointFile(p), row.powerPoint);
            EXPECT_EQ(type.isExcelFile(p), row.excel);
            EXPECT_EQ(type.isOfficeFile(p), office);
            EXPECT_EQ(type.isDocumentFile(p), office || row.xps);
            EXPECT_EQ(type.isOffice2003File(p), row.office2003);
            EXPECT_EQ(type.isOffice2007File(p), row.office2007);
            EXPECT_EQ(type.isPackageFile(p), row.package);
            EXPECT_EQ(type.isXpsFile(p), row.xps);
        }
    }
}

// Catches tests that look for a dot or split the name instead of comparing its end.
TEST(FileType, NamesAreClassifiedByTheirEndAlone)
{
    FileType type;
    EXPECT_TRUE(type.isWordFile("REPORT.DOC"));
    EXPECT_TRUE(type.isWordFile("report.docx"));
    EXPECT_FALSE(type.isOffice2003File("report.docx"));
    EXPECT_FALSE(type.isWordFile("report.doc.bak"));
    EXPECT_TRUE(type.isExcelFile("budget.xlsb"));
    EXPECT_TRUE(type.isOffice2007File("budget.xlsb"));
    EXPECT_TRUE(type.isPowerPointFile("show.ppsm"));
    EXPECT_TRUE(type.isOffice2007File("show.ppsm"));
    EXPECT_TRUE(type.isWordFile(".doc"));
    EXPECT_TRUE(type.isWordFile("nodot-doc.doc"));
    EXPECT_FALSE(type.isWordFile(nullptr));
    EXPECT_FALSE(type.isPackageFile(nullptr));
    EXPECT_FALSE(type.isZipFile(nullptr));
}

// Catches a signature compared in part: only flags 0x0006 with deflate make a zip package.
TEST(FileType, ZipFileNeedsThePackageExtensionAndTheWholeSignature)
{
    TemporaryFolder folder;
    FileType type;
    EXPECT_TRUE(type.isZipFile(folder.write("office.docx", officePackageStart()).c_str()));
    EXPECT_TRUE(type.isZipFile(folder.write("printed.xps", officePackageStart()).c_str()));

    std::string repacked = officePackageStart();
    repacked[6] = 0x00; // flags 0x0000
    EXPECT_FALSE(type.isZipFile(folder.write("repacked.docx", repacked).c_str()));
    std::string stored = officePackageStart();
    stored[8] = 0x00; // stored, no compression
    EXPECT_FALSE(type.isZipFile(folder.write("stored.xlsx", stored).c_str()));

    // ".zip" is not in the package table.
    EXPECT_FALSE(type.isZipFile(folder.write("archive.zip", officePackageStart()).c_str()));
    EXPECT_FALSE(type.isZipFile(folder.write("short.docx", "PK\x03\x04\x14").c_str()));
    EXPECT_FALSE(type.isZipFile(folder.write("nine.docx", officePackageStart().substr(0, 9)).c_str()));
    EXPECT_FALSE(type.isZipFile(folder.file("missing.docx").c_str()));
    std::filesystem::create_directories(folder.file("folder.docx"));
    EXPECT_FALSE(type.isZipFile(folder.file("folder.docx").c_str()));
}

// Catches missing or reworded debug lines, which are how a field problem is traced.
TEST(FileType, ZipFileWritesItsDebugLines)
{
    TemporaryFolder folder;
    FileType type;
    std::string package = folder.write("office.docx", officePackageStart());
    std::string pdf = folder.write("paper.pdf", "%PDF-1.4");
    LogCapture log;
    type.isZipFile(package.c_str());
    type.isZipFile(pdf.c_str());
    EXPECT_TRUE(log.contains("Debug: FileType#isZipFile,1,filename=" + package + " extension=1\n"));
    EXPECT_TRUE(log.contains("Debug: FileType#isZipFile,2,call startsWith\n"));
    EXPECT_TRUE(log.contains("Debug: FileType#isZipFile,1,filename=" + pdf + " extension=0\n"));
}
