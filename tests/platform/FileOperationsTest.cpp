#include "platform/FileOperations.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
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

// What is not a regular file is refused at once, without blocking on a FIFO or reading a device;
// a symlink to a regular file is one.
TEST(FileOperations, RegularFileRefusesWhatIsNoFileAtOnce)
{
    TemporaryFolder folder;
    std::string fifo = folder.file("pipe.docx");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string zero = folder.file("zero.docx");
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
    for (const std::string& path : { fifo, zero, folder.path() }) {
        platform::ReadOnlyFile file(path);
        EXPECT_FALSE(file.isOpen()) << path;
        EXPECT_EQ(file.error(), EINVAL) << path;
    }
    EXPECT_EQ(platform::ReadOnlyFile(folder.file("missing")).error(), ENOENT);

    std::string real = folder.write("real.docx", "bytes");
    ASSERT_EQ(::chmod(real.c_str(), 0604), 0);
    std::string link = folder.file("link.docx");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    platform::ReadOnlyFile linked(link);
    ASSERT_TRUE(linked.isOpen());
    EXPECT_EQ(linked.mode(), 0604u);
    EXPECT_EQ(::fcntl(linked.descriptor(), F_GETFL) & O_NONBLOCK, 0);
}

// The copy keeps mode and owner, never replaces a file, and is locked from the moment it has its
// name for as long as its lock lives.
TEST(FileOperations, ExclusiveCopyKeepsModeAndOwnerAndIsLocked)
{
    TemporaryFolder folder;
    std::string source = folder.write("plan.docx", std::string(200000, 'p'));
    ASSERT_EQ(::chmod(source.c_str(), 0440), 0);
    const bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        ASSERT_EQ(::chown(source.c_str(), 4321, 4322), 0);
    }
    std::string target = folder.file("plan.docx.copy");
    platform::ExclusiveLock lock;
    int error = 0;
    {
        platform::ReadOnlyFile file(source);
        ASSERT_TRUE(files::copyFileExclusive(file, target, lock, error)) << error;
        EXPECT_FALSE(files::copyFileExclusive(file, target, lock, error));
        EXPECT_EQ(error, EEXIST);
    }
    EXPECT_TRUE(lock.held());
    EXPECT_EQ(contentsOf(target), contentsOf(source));
    EXPECT_TRUE(files::sameContents(source, target));
    EXPECT_EQ(modeOf(target), 0440u);
    struct stat status { };
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    if (asRoot) {
        EXPECT_EQ(status.st_uid, 4321u);
        EXPECT_EQ(status.st_gid, 4322u);
    }
    EXPECT_FALSE(platform::ExclusiveLock::tryTake(target).held());
    lock = platform::ExclusiveLock();
    EXPECT_TRUE(platform::ExclusiveLock::tryTake(target).held());
}

// A file that the kernel cannot copy within itself (one of its own, on another file system, that
// reports no size while it has contents) is read and written instead, and copied whole.
TEST(FileOperations, ExclusiveCopyOfAFileWithoutASizeHasItsContents)
{
    TemporaryFolder folder;
    const std::string source = "/proc/self/status";
    platform::ExclusiveLock lock;
    int error = 0;
    std::string target = folder.file("status.copy");
    {
        platform::ReadOnlyFile file(source);
        ASSERT_TRUE(file.isOpen());
        ASSERT_TRUE(files::copyFileExclusive(file, target, lock, error)) << error;
    }
    std::string copied = contentsOf(target);
    EXPECT_EQ(copied.rfind("Name:", 0), 0u) << copied.substr(0, 80);
    EXPECT_NE(copied.find("\nPid:"), std::string::npos);
}

// A backup's lock is only taken on a regular file: never through a symlink, on a folder or on a
// FIFO.
TEST(FileOperations, LockIsTakenOnlyOnARegularFile)
{
    TemporaryFolder folder;
    std::string file = folder.write("backup", "x");
    std::string inner = folder.file("inner");
    ASSERT_EQ(::mkdir(inner.c_str(), 0700), 0);
    std::string fileLink = folder.file("file link");
    std::string fifo = folder.file("fifo");
    ASSERT_EQ(::symlink(file.c_str(), fileLink.c_str()), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(platform::ExclusiveLock::tryTake(file).held());
    EXPECT_FALSE(platform::ExclusiveLock::tryTake(inner).held());
    EXPECT_FALSE(platform::ExclusiveLock::tryTake(fileLink).held());
    EXPECT_FALSE(platform::ExclusiveLock::tryTake(fifo).held());
}

// A rename that must not replace refuses an existing target and a dangling symlink alike.
TEST(FileOperations, RenameNoReplaceNeverReplaces)
{
    TemporaryFolder folder;
    std::string source = folder.write("backup", "backup");
    std::string target = folder.write("document", "document");
    std::string dangling = folder.file("dangling");
    ASSERT_EQ(::symlink(folder.file("nowhere").c_str(), dangling.c_str()), 0);
    int error = 0;
    EXPECT_FALSE(files::renameNoReplace(source, target, error));
    EXPECT_EQ(error, EEXIST);
    EXPECT_FALSE(files::renameNoReplace(source, dangling, error));
    EXPECT_TRUE(files::entryExists(dangling));
    EXPECT_FALSE(files::exists(dangling));
    EXPECT_EQ(contentsOf(target), "document");
    EXPECT_TRUE(files::renameNoReplace(source, folder.file("fresh"), error));
    EXPECT_EQ(contentsOf(folder.file("fresh")), "backup");
}

// Contents are compared byte for byte, past the first block, and only between regular files.
TEST(FileOperations, SameContentsComparesEveryByte)
{
    TemporaryFolder folder;
    std::string large(300000, 'a');
    std::string first = folder.write("first", large);
    std::string second = folder.write("second", large);
    EXPECT_TRUE(files::sameContents(first, second));
    large[299999] = 'b';
    std::string changedAtTheEnd = folder.write("third", large);
    EXPECT_FALSE(files::sameContents(first, changedAtTheEnd));
    std::string longer = folder.write("longer", std::string(300001, 'a'));
    EXPECT_FALSE(files::sameContents(first, longer));
    EXPECT_FALSE(files::sameContents(first, folder.file("missing")));
    std::string fifo = folder.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(files::sameContents(fifo, fifo));
}
