#include "platform/FileOperations.h"
#include "platform/ReadOnlyFile.h"
#include "tests/support/ReadFile.h"
#include "tests/support/ScratchMount.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace files = platform::fileOperations;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool copy(const std::string& source, const std::string& target, files::ExistingTarget existing, int& error)
{
    platform::ReadOnlyFile opened(source);
    if (!opened.isOpen()) {
        error = opened.error();
        return false;
    }
    return files::copyFile(opened, target, existing, error);
}

// Runs the copy in a child whose files may grow to limit bytes only, as on a disk that fills up.
// With the signal left at its default the child is killed in the middle of the copy; otherwise
// the write fails with EFBIG. The child's exit status: 0 when the copy failed with EFBIG.
int copyInLimitedChild(const std::string& source, const std::string& target, files::ExistingTarget existing,
    rlim_t limit, bool killed)
{
    pid_t child = ::fork();
    if (child == 0) {
        if (!killed)
            std::signal(SIGXFSZ, SIG_IGN);
        rlimit fileSize { limit, limit };
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
        int error = 0;
        bool copied = copy(source, target, existing, error);
        ::_exit(copied ? 1 : error == EFBIG ? 0 : 2);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

}

// Catches a copy that replaces a file the user did not agree to replace, or that is not the
// source's bytes and permissions.
TEST(FileCopy, NewCopyHasTheBytesAndModeAndNeverReplaces)
{
    TemporaryFolder folder;
    std::string source = folder.write("source.docx", std::string(300000, 'd'));
    ::chmod(source.c_str(), 0444);
    fs::create_directory(folder.file("into"));
    int error = 0;
    ASSERT_TRUE(copy(source, folder.file("into/source.docx"), files::ExistingTarget::Keep, error)) << error;
    EXPECT_EQ(readFile(folder.file("into/source.docx")), std::string(300000, 'd'));
    EXPECT_EQ(fs::status(folder.file("into/source.docx")).permissions(), fs::perms(0444));

    std::string existing = folder.write("into/kept.docx", "the user's own file");
    EXPECT_FALSE(copy(source, existing, files::ExistingTarget::Keep, error));
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(readFile(existing), "the user's own file");
    EXPECT_EQ(namesIn(folder.file("into")), (std::vector<std::string> { "kept.docx", "source.docx" }));
}

// A replacing copy puts the new bytes under the old name and leaves no temporary beside it.
TEST(FileCopy, ReplacingCopyTakesTheOldFilesPlace)
{
    TemporaryFolder folder;
    std::string source = folder.write("new.doc", "the new contents");
    std::string target = folder.write("into/new.doc", "old contents, longer than the new ones");
    int error = 0;
    ASSERT_TRUE(copy(source, target, files::ExistingTarget::Replace, error)) << error;
    EXPECT_EQ(readFile(target), "the new contents");
    EXPECT_EQ(namesIn(folder.file("into")), (std::vector<std::string> { "new.doc" }));
    EXPECT_EQ(readFile(source), "the new contents");
}

// The disk fills during the copy: the copy fails, no partial file is left under any name, an old
// file that was to be replaced is whole, and the source is untouched.
TEST(FileCopy, CopyThatFailsHalfwayLeavesNothingAndKeepsTheOldFile)
{
    TemporaryFolder folder;
    const std::string bytes(256 * 1024, 's');
    std::string source = folder.write("big.docx", bytes);
    fs::create_directory(folder.file("into"));
    int status = copyInLimitedChild(
        source, folder.file("into/big.docx"), files::ExistingTarget::Keep, 64 * 1024, false);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the copy claimed success, 2: another error than EFBIG";
    EXPECT_TRUE(namesIn(folder.file("into")).empty());

    std::string old = folder.write("into/big.docx", "the old file");
    status = copyInLimitedChild(source, old, files::ExistingTarget::Replace, 64 * 1024, false);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFile(old), "the old file");
    EXPECT_EQ(namesIn(folder.file("into")), (std::vector<std::string> { "big.docx" }));
    EXPECT_EQ(readFile(source), bytes);
}

// The copying process is killed in the middle of the copy: nothing of it is left behind.
TEST(FileCopy, KilledCopyLeavesNothing)
{
    TemporaryFolder folder;
    std::string source = folder.write("big.docx", std::string(256 * 1024, 'k'));
    std::string old = folder.write("into/big.docx", "the old file");
    for (auto existing : { files::ExistingTarget::Keep, files::ExistingTarget::Replace }) {
        int status = copyInLimitedChild(source, folder.file("into/big.docx"), existing, 64 * 1024, true);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
        EXPECT_EQ(readFile(old), "the old file");
        EXPECT_EQ(namesIn(folder.file("into")), (std::vector<std::string> { "big.docx" }));
    }
    fs::remove(old);
    int status = copyInLimitedChild(source, old, files::ExistingTarget::Keep, 64 * 1024, true);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_TRUE(namesIn(folder.file("into")).empty());
}

// A real full disk: a small memory file system. The file that does not fit fails and leaves no
// trace; the next one, which fits, is still copied.
TEST(FileCopy, FullDiskFailsThatFileOnlyAndLeavesNoPartialFile)
{
    TemporaryFolder folder;
    ScratchMount mount(folder.file("small"), { "mount", "-t", "tmpfs", "-o", "size=128k", "tmpfs" });
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a file system here: " << mount.reason();
    std::string large = folder.write("large.docx", std::string(512 * 1024, 'l'));
    std::string small = folder.write("small.docx", "fits");
    int error = 0;
    EXPECT_FALSE(copy(large, folder.file("small/large.docx"), files::ExistingTarget::Keep, error));
    EXPECT_EQ(error, ENOSPC);
    EXPECT_TRUE(namesIn(folder.file("small")).empty());
    EXPECT_TRUE(copy(small, folder.file("small/small.docx"), files::ExistingTarget::Keep, error)) << error;
    EXPECT_EQ(readFile(folder.file("small/small.docx")), "fits");
}

// Catches a file copied onto itself (which would empty it) when the two names reach one file
// through a symlink or a hard link.
TEST(FileCopy, SameFileThroughSymlinksAndHardLinks)
{
    TemporaryFolder folder;
    std::string file = folder.write("one.doc", "one");
    std::string other = folder.write("two.doc", "one");
    fs::create_directory_symlink(folder.path(), folder.file("linked-folder"));
    fs::create_hard_link(file, folder.file("hard.doc"));
    EXPECT_TRUE(files::sameFile(file, file));
    EXPECT_TRUE(files::sameFile(file, folder.file("linked-folder/one.doc")));
    EXPECT_TRUE(files::sameFile(folder.file("hard.doc"), file));
    EXPECT_FALSE(files::sameFile(file, other)) << "same bytes are not the same file";
    EXPECT_FALSE(files::sameFile(file, folder.file("missing.doc")));
}
