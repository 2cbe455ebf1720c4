#include "formats/zip/ZipWriter.h"
#include "platform/ChildProcess.h"
#include "tests/support/TemporaryFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using formats::ZipWriter;
using platform::ChildProcess;

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
    auto page
        = ChildProcess::run({ "unzip", "-p", folder.file("package.zip"), "Documents/1/Pages/1.fpage" }, 30s);
    EXPECT_EQ(page.standardOutput, text);
    auto image
        = ChildProcess::run({ "unzip", "-p", folder.file("package.zip"), "Resources/Images/1-1.png" }, 30s);
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

    // A previous archive is replaced whole, and no temporary file is left beside it.
    std::string path = folder.file("replaced.zip");
    folder.write("replaced.zip", "previous archive");
    ASSERT_TRUE(other.write(path)) << other.errorMessage();
    EXPECT_TRUE(ChildProcess::run({ "unzip", "-t", path }, 30s).succeeded());
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string> { "replaced.zip" });
}

// Catches deflate output that only small inputs survive: a part far larger than any buffer of
// the compressor, mixing compressible and random bytes, must come back from unzip unchanged.
TEST(ZipWriter, LargeDeflatedEntryRoundTrips)
{
    TemporaryFolder folder;
    std::string bytes;
    uint32_t state = 12345;
    for (int i = 0; i < 3 * 1024 * 1024; ++i) {
        state = state * 1103515245u + 12345u;
        bytes += (i / 4096) % 2 ? static_cast<char>(state >> 24) : static_cast<char>('a' + i % 7);
    }
    ZipWriter zip;
    zip.add("big.bin", bytes);
    ASSERT_TRUE(zip.write(folder.file("big.zip"))) << zip.errorMessage();
    auto test = ChildProcess::run({ "unzip", "-t", folder.file("big.zip") }, 60s);
    EXPECT_TRUE(test.succeeded()) << test.standardOutput << test.standardError;
    auto listing = ChildProcess::run({ "unzip", "-v", folder.file("big.zip") }, 30s);
    EXPECT_NE(listing.standardOutput.find("Defl:N"), std::string::npos) << listing.standardOutput;
    auto back = ChildProcess::run({ "unzip", "-p", folder.file("big.zip"), "big.bin" }, 60s);
    EXPECT_EQ(back.standardOutput.size(), bytes.size());
    EXPECT_TRUE(back.standardOutput == bytes);
    EXPECT_LT(std::filesystem::file_size(folder.file("big.zip")), bytes.size() * 3 / 4);
}

// Catches a wrong CRC-32 polynomial or initial value.
TEST(ZipWriter, Crc32KnownValue)
{
    EXPECT_EQ(ZipWriter::crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(ZipWriter::crc32(""), 0u);
}
