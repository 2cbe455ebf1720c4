#include "platform/FileOperations.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace files = platform::fileOperations;

namespace {

std::string contentsOf(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

// Everything in folder but the names given.
std::vector<std::string> otherEntries(const std::string& folder, const std::string& keep)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename() != keep)
            names.push_back(entry.path().filename().string());
    }
    return names;
}

uint32_t modeOf(const std::string& path)
{
    struct stat status { };
    EXPECT_EQ(::stat(path.c_str(), &status), 0);
    return status.st_mode & 07777;
}

}

// A settings file or a published output replaced this way must hold all of the new bytes, with
// the mode asked for, and no temporary may stay beside it.
TEST(FileOperations, AtomicWriteReplacesTheWholeFileAndLeavesNothingBeside)
{
    TemporaryFolder folder;
    std::string path = folder.write("settings.reg", "old contents that are longer than the new ones");
    int error = 0;
    ASSERT_TRUE(files::writeFileAtomically(path, "new", 0640, error)) << error;
    EXPECT_EQ(contentsOf(path), "new");
    EXPECT_EQ(modeOf(path), 0640u);
    EXPECT_TRUE(otherEntries(folder.path(), "settings.reg").empty());

    std::string fresh = folder.file("fresh.txt");
    ASSERT_TRUE(files::writeFileAtomically(
        fresh, std::string(1 << 20, 'x'), files::modeOrDefault(fresh, 0604), error));
    EXPECT_EQ(contentsOf(fresh).size(), 1u << 20);
    EXPECT_EQ(modeOf(fresh), 0604u);
    // An existing file keeps its own mode through modeOrDefault.
    EXPECT_EQ(files::modeOrDefault(path, 0600), 0640u);
}

// The write fails after N bytes (the file size limit of the writing process stops it, as a
// full disk would): the old file must be whole and the half-written temporary gone.
TEST(FileOperations, AtomicWriteThatFailsHalfwayKeepsTheOldFileWhole)
{
    TemporaryFolder folder;
    const std::string old = "the previous output, which must survive";
    std::string path = folder.write("report.docx.html", old);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit { 4096, 4096 };
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int error = 0;
        bool written = files::writeFileAtomically(path, std::string(64 * 1024, 'n'), 0644, error);
        ::_exit(written ? 1 : error == EFBIG ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the write claimed success, 2: another error than EFBIG";
    EXPECT_EQ(contentsOf(path), old);
    EXPECT_TRUE(otherEntries(folder.path(), "report.docx.html").empty());
}

TEST(FileOperations, AtomicWriteIntoAMissingFolderFails)
{
    TemporaryFolder folder;
    int error = 0;
    EXPECT_FALSE(files::writeFileAtomically(folder.file("no/such/folder/file"), "x", 0644, error));
    EXPECT_EQ(error, ENOENT);
}

// The bounded read refuses a file over its limit instead of filling memory, and what is not a
// regular file at once: a FIFO would otherwise block the reader until some writer came.
TEST(FileOperations, BoundedReadRefusesLargeFilesAndWhatIsNoRegularFile)
{
    TemporaryFolder folder;
    std::string path = folder.write("small", "12345");
    std::string bytes;
    int error = 0;
    EXPECT_TRUE(files::readAll(path, bytes, 5, error));
    EXPECT_EQ(bytes, "12345");
    EXPECT_FALSE(files::readAll(path, bytes, 4, error));
    EXPECT_EQ(error, EFBIG);
    EXPECT_TRUE(bytes.empty());

    EXPECT_FALSE(files::readAll(folder.file("missing"), bytes, 100, error));
    EXPECT_EQ(error, ENOENT);

    std::string fifo = folder.file("pipe.docx");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(files::readAll(fifo, bytes, 100, error));
    EXPECT_EQ(error, EINVAL);
    EXPECT_FALSE(files::readAll("/dev/zero", bytes, 100, error));
    EXPECT_EQ(error, EINVAL);
    EXPECT_FALSE(files::readAll(folder.path(), bytes, 100, error));
}
