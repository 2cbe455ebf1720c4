#include "platform/ReadOnlyFile.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using platform::ReadOnlyFile;

// Catches a FIFO, a device or a folder taken for a document, or a link to a document refused:
// only what leads to a regular file opens. The FIFO has no writer, so an open that waited for
// one would never return.
TEST(ReadOnlyFile, OpensRegularFilesOnlyAndFollowsLinks)
{
    TemporaryFolder folder;
    std::string file = folder.write("file.doc", "contents");
    std::string link = folder.file("link.doc");
    ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);
    std::string fifo = folder.file("pipe.doc");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string device = folder.file("zero.doc");
    ASSERT_EQ(::symlink("/dev/zero", device.c_str()), 0);
    std::string directory = folder.file("folder.doc");
    ASSERT_TRUE(std::filesystem::create_directory(directory));

    ReadOnlyFile linked(link);
    ASSERT_TRUE(linked.isOpen());
    EXPECT_EQ(linked.size(), 8u);
    for (const std::string& path : { fifo, device, directory, folder.file("missing.doc") })
        EXPECT_FALSE(ReadOnlyFile(path).isOpen()) << path;
}

// Catches the no-wait flag of the open left on the descriptor: libgsf reads large documents
// through it with stdio, and a read that answers "try again" would end the document early.
TEST(ReadOnlyFile, DescriptorReadsAsAnOrdinaryOneAfterTheOpen)
{
    TemporaryFolder folder;
    ReadOnlyFile file(folder.write("file.doc", "contents"));
    ASSERT_TRUE(file.isOpen());
    int flags = ::fcntl(file.descriptor(), F_GETFL);
    ASSERT_GE(flags, 0);
    EXPECT_EQ(flags & O_NONBLOCK, 0);
    EXPECT_NE(::fcntl(file.descriptor(), F_GETFD) & FD_CLOEXEC, 0);
}
