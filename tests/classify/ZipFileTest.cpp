#include "classify/ZipFile.h"
#include "platform/FileWindow.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

struct ScanResult {
    int entries;
    bool encrypted;
};

ScanResult scan(const std::string& path)
{
    ZipFile archive;
    EXPECT_EQ(archive.open(path.c_str()), 0);
    int entries = archive.scan();
    return { entries, archive.isEncrypted() };
}

int openCode(const char* path)
{
    try {
        ZipFile archive;
        return archive.open(path);
    } catch (int code) {
        return code;
    }
}

// Writes a sparse archive of size bytes whose only entry, encrypted and with a data descriptor,
// runs from the start to the descriptor, central directory and end record at the very end.
void writeHugeArchive(const std::string& path, off_t size)
{
    std::string head;
    ZipBuilder::put32(head, 0x04034B50);
    ZipBuilder::put16(head, 20);
    ZipBuilder::put16(head, ZipBuilder::Encrypted | ZipBuilder::HasDataDescriptor);
    head.append(22, '\0');
    // A name of one byte: its length sits at offset 26.
    head[26] = 1;
    head += "n";
    std::string tail;
    ZipBuilder::put32(tail, 0x08074B50);
    tail.append(12, '\0');
    ZipBuilder::put32(tail, 0x02014B50);
    ZipBuilder::put16(tail, 20);
    ZipBuilder::put16(tail, 20);
    ZipBuilder::put16(tail, ZipBuilder::Encrypted | ZipBuilder::HasDataDescriptor);
    tail.append(18, '\0');
    ZipBuilder::put16(tail, 1);
    tail.append(16, '\0');
    tail += "n";
    ZipBuilder::put32(tail, 0x06054B50);
    tail.append(18, '\0');

    int descriptor = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(::pwrite(descriptor, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
    off_t tailAt = size - static_cast<off_t>(tail.size());
    ASSERT_EQ(::pwrite(descriptor, tail.data(), tail.size(), tailAt), static_cast<ssize_t>(tail.size()));
    ::close(descriptor);
}

// What a scan in a child process gave: how the child ended and what it reported.
struct ChildScan {
    bool exitedNormally = false;
    int signal = 0;
    // The entry count (-1 when open threw), the verdict, and the growth of the peak memory in KiB.
    long entries = -1;
    long encrypted = 0;
    long peakGrowth = 0;
};

// Opens and scans the archive in a child process, so that a fatal signal (a bus error from a
// file that shrank under a mapping) shows as the child's end instead of ending the tests. Between
// the open and the scan the child calls afterOpen. The child is bounded by an alarm: a scan that
// hangs ends as a signal too.
template <typename AfterOpen> ChildScan scanInChild(const std::string& path, AfterOpen afterOpen)
{
    ChildScan outcome;
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return outcome;
    pid_t child = ::fork();
    if (child < 0)
        return outcome;
    if (child == 0) {
        ::close(pipeEnds[0]);
        ::alarm(120);
        struct rusage before;
        ::getrusage(RUSAGE_SELF, &before);
        long result[3] = { -1, 0, 0 };
        try {
            ZipFile archive;
            archive.open(path.c_str());
            afterOpen();
            result[0] = archive.scan();
            result[1] = archive.isEncrypted() ? 1 : 0;
        } catch (int) {
        }
        struct rusage after;
        ::getrusage(RUSAGE_SELF, &after);
        result[2] = after.ru_maxrss - before.ru_maxrss;
        ssize_t ignored = ::write(pipeEnds[1], result, sizeof(result));
        (void)ignored;
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    long result[3] = { -1, 0, 0 };
    bool reported = ::read(pipeEnds[0], result, sizeof(result)) == static_cast<ssize_t>(sizeof(result));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.exitedNormally = reported && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    outcome.entries = result[0];
    outcome.encrypted = result[1];
    outcome.peakGrowth = result[2];
    return outcome;
}

}

// Catches the verdict taken from any single entry instead of all file entries.
TEST(ZipFile, EncryptedOnlyWhenEveryFileEntryIs)
{
    TemporaryFolder folder;
    auto all = folder.write("all.zip",
        ZipBuilder()
            .add("a.txt", "secret", ZipBuilder::Encrypted)
            .add("b.txt", "more", ZipBuilder::Encrypted)
            .bytes());
    auto some = folder.write(
        "some.zip", ZipBuilder().add("a.txt", "secret", ZipBuilder::Encrypted).add("b.txt", "open").bytes());
    auto none = folder.write("none.zip", ZipBuilder().add("a.txt", "open").add("b.txt", "open").bytes());
    EXPECT_EQ(scan(all).entries, 2);
    EXPECT_TRUE(scan(all).encrypted);
    EXPECT_EQ(scan(some).entries, 2);
    EXPECT_FALSE(scan(some).encrypted);
    EXPECT_FALSE(scan(none).encrypted);
}

// Catches folders counted as files: an archive of folders only holds nothing to encrypt.
TEST(ZipFile, FolderEntriesDoNotCount)
{
    TemporaryFolder folder;
    auto folders = folder.write("folders.zip", ZipBuilder().add("a/", "").add("a/b/", "").bytes());
    EXPECT_EQ(scan(folders).entries, 0);
    EXPECT_FALSE(scan(folders).encrypted);
    auto mixed = folder.write(
        "mixed.zip", ZipBuilder().add("a/", "").add("a/secret.txt", "x", ZipBuilder::Encrypted).bytes());
    EXPECT_EQ(scan(mixed).entries, 1);
    EXPECT_TRUE(scan(mixed).encrypted);
}

// Catches entries with data descriptors being mis-walked: the scan must still reach the
// central directory, even when the data holds bytes that look like record signatures.
TEST(ZipFile, DataDescriptorsAreFoundAndSkipped)
{
    TemporaryFolder folder;
    std::string tricky = std::string("PK\x01\x02", 4) + std::string(60, 'z');
    uint16_t flags = ZipBuilder::Encrypted | ZipBuilder::HasDataDescriptor;
    auto path = folder.write("descriptors.zip",
        ZipBuilder().add("a.bin", tricky, flags).add("b.bin", "plain bytes", flags).bytes());
    ScanResult result = scan(path);
    EXPECT_EQ(result.entries, 2);
    EXPECT_TRUE(result.encrypted);
}

// Catches failures passed as "not encrypted" instead of their codes.
TEST(ZipFile, OpenFailuresThrowTheirCodes)
{
    TemporaryFolder folder;
    EXPECT_EQ(openCode(nullptr), -5000);
    EXPECT_EQ(openCode(folder.file("missing.zip").c_str()), -5001);
    std::filesystem::create_directories(folder.file("folder.zip"));
    EXPECT_EQ(openCode(folder.file("folder.zip").c_str()), -5002);
    EXPECT_EQ(openCode(folder.write("tiny.zip", "PK\x03").c_str()), -5004);
    EXPECT_EQ(openCode(folder.write("empty.zip", "").c_str()), -5004);
    EXPECT_EQ(openCode(folder.write("text.zip", "this is no archive").c_str()), -5003);
    // An archive that starts with its end record (an empty archive) has no local header first.
    EXPECT_EQ(openCode(folder.write("emptyarchive.zip", ZipBuilder().bytes()).c_str()), -5003);
    EXPECT_EQ(openCode(folder.write("ok.zip", ZipBuilder().add("a", "b").bytes()).c_str()), 0);
}

// Catches reads past the end of a truncated archive: every cut gives an answer, never a crash.
TEST(ZipFile, TruncatedArchivesScanSafely)
{
    TemporaryFolder folder;
    std::string whole
        = ZipBuilder()
              .add("first.txt", std::string(300, 'a'), ZipBuilder::Encrypted)
              .add("second.txt", std::string(50, 'b'), ZipBuilder::Encrypted | ZipBuilder::HasDataDescriptor)
              .bytes();
    for (size_t length = 4; length <= whole.size(); ++length) {
        std::string path = folder.write("cut.zip", whole.substr(0, length));
        ZipFile archive;
        ASSERT_EQ(archive.open(path.c_str()), 0);
        int entries = archive.scan();
        EXPECT_GE(entries, 0);
        EXPECT_LE(entries, 2);
        // Every file entry of this archive is encrypted, so however it is cut, a verdict of
        // "encrypted" needs an entry counted.
        EXPECT_TRUE(!archive.isEncrypted() || entries > 0) << length;
    }
    EXPECT_TRUE(scan(folder.write("whole.zip", whole)).encrypted);
}

// Catches a scan that searches for a missing data descriptor again at every entry, which turns
// a hostile archive of many such entries into a hang.
TEST(ZipFile, ManyEntriesWithoutDescriptorsStayLinear)
{
    TemporaryFolder folder;
    std::string hostile;
    for (int i = 0; i < 200000; ++i) {
        ZipBuilder::put32(hostile, 0x04034B50);
        ZipBuilder::put16(hostile, 20);
        ZipBuilder::put16(hostile, ZipBuilder::HasDataDescriptor);
        hostile.append(22, '\0');
    }
    std::string path = folder.write("hostile.zip", hostile);
    ZipFile archive;
    ASSERT_EQ(archive.open(path.c_str()), 0);
    EXPECT_EQ(archive.scan(), 0);
    EXPECT_FALSE(archive.isEncrypted());
}

// Catches records or descriptors lost where the reader's window ends: descriptors that sit
// across the seam between two stretches of a search, at every offset around it.
TEST(ZipFile, DescriptorsAcrossTheSearchSeamAreFound)
{
    TemporaryFolder folder;
    uint16_t flags = ZipBuilder::Encrypted | ZipBuilder::HasDataDescriptor;
    for (int shift = -5; shift <= 5; ++shift) {
        SCOPED_TRACE(shift);
        std::string data(platform::FileWindow::Capacity - 3 + shift, 'z');
        std::string path = folder.write("seam.zip",
            ZipBuilder().add("a.bin", data, flags).add("b.bin", "tail", ZipBuilder::Encrypted).bytes());
        ScanResult result = scan(path);
        EXPECT_EQ(result.entries, 2);
        EXPECT_TRUE(result.encrypted);
    }
}

// Catches headers and names read wrongly where they cross from one read of the file into the
// next: thousands of entries of every name and data length put records at every alignment.
TEST(ZipFile, RecordsAcrossReadBoundariesAreAllCounted)
{
    TemporaryFolder folder;
    ZipBuilder builder;
    int files = 0;
    for (int i = 0; i < 6000; ++i) {
        bool isFolder = i % 7 == 3;
        std::string name = std::string(1 + i % 13, 'n') + std::to_string(i) + (isFolder ? "/" : "");
        uint16_t flags = (i % 5 == 0 ? ZipBuilder::HasDataDescriptor : 0) | ZipBuilder::Encrypted;
        builder.add(name, isFolder ? std::string() : std::string(i * 37 % 311, 'd'), flags);
        files += isFolder ? 0 : 1;
    }
    std::string bytes = builder.bytes();
    ASSERT_GT(bytes.size(), 8 * platform::FileWindow::ReadAhead);
    ScanResult result = scan(folder.write("many.zip", bytes));
    EXPECT_EQ(result.entries, files);
    EXPECT_TRUE(result.encrypted);
}

// Catches the archive being read whole into memory: a 1 GiB archive (sparse on disk) whose only
// entry ends at its very end is scanned in a child whose peak memory must stay small.
TEST(ZipFile, MemoryStaysFlatForAHugeArchive)
{
    TemporaryFolder folder;
    std::string path = folder.file("huge.zip");
    writeHugeArchive(path, off_t(1) << 30);
    ChildScan scan = scanInChild(path, [] {});
    ASSERT_TRUE(scan.exitedNormally) << "signal " << scan.signal;
    EXPECT_EQ(scan.entries, 1);
    EXPECT_EQ(scan.encrypted, 1);
    // Kilobytes: the growth of the peak must stay far below the archive's 1 GiB.
    EXPECT_LT(scan.peakGrowth, 64 * 1024) << "peak grew by " << scan.peakGrowth << " KiB";
}

// Catches a file cut short after it was opened killing the program (a mapped file gives a bus
// error for the pages it lost): the scan reads what is left, a short and broken archive that
// holds no entry.
TEST(ZipFile, ArchiveCutShortAfterTheOpenIsAShortFile)
{
    TemporaryFolder folder;
    std::string path = folder.file("shrinking.zip");
    writeHugeArchive(path, off_t(1) << 30);
    ChildScan scan = scanInChild(path, [&] { ::truncate(path.c_str(), 4096); });
    ASSERT_TRUE(scan.exitedNormally) << "signal " << scan.signal;
    EXPECT_EQ(scan.entries, 0);
    EXPECT_EQ(scan.encrypted, 0);
}

// Catches the same while the scan runs: another thread cuts the 2 GiB archive down step by step
// while it is walked, and however far the scan got, it ends with an answer.
TEST(ZipFile, ArchiveShrinkingDuringTheScanEndsNormally)
{
    TemporaryFolder folder;
    std::string path = folder.file("shrinking.zip");
    const off_t size = off_t(2) << 30;
    writeHugeArchive(path, size);
    ChildScan scan = scanInChild(path, [&] {
        std::thread([path, size] {
            for (off_t length = size; length > 0; length /= 2) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                ::truncate(path.c_str(), length - 1);
            }
        }).detach();
    });
    ASSERT_TRUE(scan.exitedNormally) << "signal " << scan.signal;
    EXPECT_GE(scan.entries, 0);
    EXPECT_LE(scan.entries, 1);
}
