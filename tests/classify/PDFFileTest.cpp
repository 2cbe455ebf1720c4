#include "classify/PDFFile.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

int constructionCode(const char* path)
{
    try {
        PDFFile file(path);
        return 0;
    } catch (int code) {
        return code;
    }
}

bool encrypted(const std::string& path)
{
    return PDFFile(path.c_str()).isEncrypted();
}

}

// Catches the trailer search reaching beyond the last kilobyte, or missing what lies in it.
TEST(PDFFile, EncryptMarkerCountsOnlyInTheLastKilobyte)
{
    TemporaryFolder folder;
    std::string body(4000, 'x');
    EXPECT_TRUE(encrypted(folder.write("trailer.pdf",
        "%PDF-1.6\n" + body + "\ntrailer\n<< /Root 1 0 R /Encrypt 5 0 R >>\nstartxref\n123\n%%EOF\n")));
    EXPECT_FALSE(
        encrypted(folder.write("early.pdf", "%PDF-1.6\n<< /Encrypt 5 0 R >>\n" + body + "\n%%EOF\n")));
    EXPECT_FALSE(encrypted(folder.write("plain.pdf", "%PDF-1.4\n" + body + "\ntrailer << /Root 1 0 R >>\n")));
    // A short file is searched whole.
    EXPECT_TRUE(encrypted(folder.write("short.pdf", "%PDF-1.4 /Encrypt")));
}

// Catches zero bytes ending the search early: they are read as blanks.
TEST(PDFFile, ZeroBytesInTheTailDoNotHideTheMarker)
{
    TemporaryFolder folder;
    std::string tail = std::string(200, '\0') + "/Encrypt 9 0 R" + std::string(20, '\0') + "\n";
    EXPECT_TRUE(encrypted(folder.write("zeros.pdf", "%PDF-1.7\n" + std::string(3000, 'y') + tail)));
}

// Catches an off-by-one at the edge of the searched region: the very last byte of a long file
// is the text's terminator, the 1023 bytes before it are searched.
TEST(PDFFile, EdgesOfTheSearchedRegion)
{
    TemporaryFolder folder;
    std::string marker = "/Encrypt";
    std::string atStart = "%PDF-1.4" + std::string(2000, ' ');
    // The marker starts exactly 1024 bytes before the end: the first byte of the tail.
    std::string first = atStart + marker + std::string(1024 - marker.size(), ' ');
    EXPECT_TRUE(encrypted(folder.write("first.pdf", first)));
    // One byte earlier it is cut and no longer found.
    std::string before = atStart + marker + std::string(1025 - marker.size(), ' ');
    EXPECT_FALSE(encrypted(folder.write("before.pdf", before)));
    // Ending in the very last byte, which gives way to the terminator.
    std::string last = atStart + marker;
    EXPECT_FALSE(encrypted(folder.write("last.pdf", last)));
    EXPECT_TRUE(encrypted(folder.write("lastbutone.pdf", atStart + marker + " ")));
}

// Catches a failure passed as "not encrypted" instead of its code.
TEST(PDFFile, FailuresThrowTheirCodes)
{
    TemporaryFolder folder;
    EXPECT_EQ(constructionCode(nullptr), -1002);
    EXPECT_EQ(constructionCode(folder.file("missing.pdf").c_str()), -1003);
    EXPECT_EQ(constructionCode(folder.write("word.pdf", "PK\x03\x04 not a pdf").c_str()), -1000);
    EXPECT_EQ(constructionCode(folder.write("tiny.pdf", "%PDF").c_str()), -1000);
    std::filesystem::create_directories(folder.file("folder.pdf"));
    EXPECT_EQ(constructionCode(folder.file("folder.pdf").c_str()), -1001);
    EXPECT_EQ(constructionCode(folder.write("ok.pdf", "%PDF-").c_str()), 0);
}
