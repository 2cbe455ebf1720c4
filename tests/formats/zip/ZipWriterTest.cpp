#include "platform/ChildProcess.h"
#include "formats/zip/ZipWriter.h"
#include "tests/support/TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using platform::ChildProcess;
using formats::ZipWriter;

// Catches wrong checksums, sizes or offsets: the real unzip must test and extract every entry.
TEST(ZipWriter, UnzipReadsStoredAndDeflatedEntries)
{
    TemporaryFolder folder;
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "line " + std::to_string(i) + " of a compressible part\n";
    std::string binary;
    for (int i = 0; i < 5000; ++i)
        binary += static_cast<char>((i * 7919) >> 3);
    ZipWriter first;
    first.add("[Content_Types].xml", "<Types/>");
    first.add("Documents/1/Pages/1.fpage", text);
    ZipWriter second;
    second.add("Resources/Images/1-1.png", binary, ZipWriter::Compression::Stored);
    second.add("empty.txt", "");
    first.append(second);
    ASSERT_TRUE(first.write(folder.file("package.zip"))) << first.errorMessage();

    auto test = ChildProcess::run({ "unzip", "-t", folder.file("package.zip") }, 30s);
    EXPECT_TRUE(test.succeeded()) << test.standardOutput << test.standardError;
    auto page = ChildProcess::run({ "unzip", "-p", folder.file("package.zip"), "Documents/1/Pages/1.fpage" }, 30s);
    EXPECT_EQ(page.standardOutput, text);
    auto image = ChildProcess::run({ "unzip", "-p", folder.file("package.zip"), "Resources/Images/1-1.png" }, 30s);
    EXPECT_EQ(image.standardOutput, binary);
    // The compressible part was really compressed.
    EXPECT_LT(std::filesystem::file_size(folder.file("package.zip")), text.size() / 2 + binary.size());
    auto listing = ChildProcess::run({ "unzip", "-Z1", folder.file("package.zip") }, 30s);
    EXPECT_EQ(listing.standardOutput,
        "[Content_Types].xml\nDocuments/1/Pages/1.fpage\nResources/Images/1-1.png\nempty.txt\n");
}

// Catches a package with a part twice (readers disagree on which counts) written as success.
TEST(ZipWriter, RefusesDuplicateNamesAndUnwritableTargets)
{
    TemporaryFolder folder;
    ZipWriter zip;
    zip.add("a.xml", "1");
    zip.add("a.xml", "2");
    EXPECT_FALSE(zip.write(folder.file("twice.zip")));
    EXPECT_NE(zip.errorMessage().find("a.xml"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.file("twice.zip")));

    ZipWriter other;
    other.add("b.xml", "1");
    EXPECT_FALSE(other.write(folder.file("missing/folder/x.zip")));
    EXPECT_FALSE(other.errorMessage().empty());
}

// Catches a wrong CRC-32 polynomial or initial value.
TEST(ZipWriter, Crc32KnownValue)
{
    EXPECT_EQ(ZipWriter::crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(ZipWriter::crc32(""), 0u);
}
