#include "platform/FileInUse.h"
#include "platform/ReadOnlyFile.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The probe as the publisher makes it, on the document it has opened.
bool inUse(const std::string& path)
{
    platform::ReadOnlyFile file(path);
    return file.isOpen() && platform::isFileInUse(file.descriptor(), path);
}

}

// Catches an office suite's open document going unnoticed: its lock file beside the document
// is the only trace LibreOffice and Microsoft Office leave.
TEST(FileInUse, OfficeLockFilesBesideTheDocument)
{
    TemporaryFolder folder;
    std::string path = folder.write("report.doc", "x");
    EXPECT_FALSE(inUse(path));
    std::string libreOffice = folder.write(".~lock.report.doc#", "user,host");
    EXPECT_TRUE(inUse(path));
    ::unlink(libreOffice.c_str());
    std::string microsoft = folder.write("~$report.doc", "user");
    EXPECT_TRUE(inUse(path));
    ::unlink(microsoft.c_str());
    // Another document's lock file says nothing about this one.
    folder.write(".~lock.other.doc#", "user,host");
    EXPECT_FALSE(inUse(path));
}

// Catches flock holders missed, shared or exclusive, and the probe keeping a lock of its own.
TEST(FileInUse, FlockByAnotherOpenFile)
{
    TemporaryFolder folder;
    std::string path = folder.write("held.xls", "x");
    for (int mode : { LOCK_SH, LOCK_EX }) {
        int holder = ::open(path.c_str(), O_RDONLY);
        ASSERT_GE(holder, 0);
        ASSERT_EQ(::flock(holder, mode), 0);
        EXPECT_TRUE(inUse(path)) << mode;
        ::close(holder);
        EXPECT_FALSE(inUse(path)) << mode;
    }
    // The probe gives its trial lock back: someone may lock the file right after it.
    int after = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(after, 0);
    EXPECT_EQ(::flock(after, LOCK_EX | LOCK_NB), 0);
    ::close(after);
}

// Catches POSIX record locks missed: LibreOffice locks the documents it opens that way. Such a
// lock only shows from another process, so a child holds it.
TEST(FileInUse, RecordLockOfAnotherProcess)
{
    TemporaryFolder folder;
    std::string path = folder.write("held.ppt", "some bytes");
    int ready[2];
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int descriptor = ::open(path.c_str(), O_RDONLY);
        struct flock lock = {};
        lock.l_type = F_RDLCK;
        lock.l_whence = SEEK_SET;
        char signal = descriptor >= 0 && ::fcntl(descriptor, F_SETLK, &lock) == 0 ? 'y' : 'n';
        ssize_t ignored = ::write(ready[1], &signal, 1);
        ignored = ::read(release[0], &signal, 1);
        (void)ignored;
        ::_exit(0);
    }
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1);
    ASSERT_EQ(signal, 'y');
    EXPECT_TRUE(inUse(path));
    int descriptor = ::open(path.c_str(), O_RDONLY);
    EXPECT_TRUE(platform::isFileInUse(descriptor, path));
    ::close(descriptor);
    ASSERT_EQ(::write(release[1], "x", 1), 1);
    ::waitpid(child, nullptr, 0);
    EXPECT_FALSE(inUse(path));
    for (int end : { ready[0], ready[1], release[0], release[1] })
        ::close(end);
}
