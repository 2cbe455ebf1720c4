// The lists of --files-from: what a user's find or script writes, and what it must never do to
// the run (hang it, or drop a document without a word).
#include "cli/DocumentListFile.h"

#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <chrono>
#include <thread>
#include <unistd.h>

namespace {

std::vector<std::string> split(std::string_view bytes, bool nul, std::string& error)
{
    std::vector<std::string> paths;
    if (!DocumentListFile::split(bytes, nul, "list", paths, error))
        paths.push_back("<refused>");
    return paths;
}

}

// Catches a last line without its end being lost, a final line end taken for a blank path, and
// names with line ends broken apart in a NUL-separated list.
TEST(DocumentListFile, SplitsLinesAndNulSeparatedNames)
{
    std::string error;
    EXPECT_EQ(split("/a.docx\n/b c.docx\n", false, error), (std::vector<std::string> { "/a.docx", "/b c.docx" }));
    EXPECT_EQ(split("/a.docx\n/b.docx", false, error), (std::vector<std::string> { "/a.docx", "/b.docx" }));
    EXPECT_EQ(split(std::string_view("/a\nb.docx\0rel/c.docx\0", 20), true, error),
        (std::vector<std::string> { "/a\nb.docx", "rel/c.docx" }));
    EXPECT_EQ(split(std::string_view("/a.docx\0/b.docx", 15), true, error),
        (std::vector<std::string> { "/a.docx", "/b.docx" }));
}

// Catches a blank line or a NUL byte passed over in silence (a document of the list would go
// unpublished, or a wrong name be published), and an empty list taken for a run with nothing to do.
TEST(DocumentListFile, RefusesListsThatCannotMeanWhatTheySay)
{
    struct Case {
        std::string bytes;
        bool nul;
        std::string message;
    };
    const Case cases[] = {
        { "/a.docx\n\n/b.docx\n", false, "line 2 of list is blank" },
        { "\n/a.docx\n", false, "line 1 of list is blank" },
        { std::string("/a.docx\0/b.docx\n", 16), false, "line 1 of list holds a NUL byte" },
        { std::string("/a.docx\0\0", 9), true, "entry 2 of list is blank" },
        { "", false, "holds no path" },
        { "", true, "holds no path" },
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(split(c.bytes, c.nul, error), std::vector<std::string> { "<refused>" }) << c.message;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

// Catches a list read only in part, a device read until memory runs out and a folder or a
// missing file taken for an empty list.
TEST(DocumentListFile, ReadsFilesAndRefusesWhatIsNoList)
{
    TemporaryFolder folder;
    std::vector<std::string> paths;
    std::string error;
    std::string many;
    for (int i = 0; i < 20000; ++i)
        many += "/data/d" + std::to_string(i) + ".docx\n";
    ASSERT_TRUE(DocumentListFile::read(folder.write("list", many), false, paths, error)) << error;
    ASSERT_EQ(paths.size(), 20000u);
    EXPECT_EQ(paths.back(), "/data/d19999.docx");

    for (const std::string& bad : { std::string("/dev/zero"), folder.path(), folder.file("missing") }) {
        paths.clear();
        error.clear();
        EXPECT_FALSE(DocumentListFile::read(bad, false, paths, error)) << bad;
        EXPECT_TRUE(paths.empty());
        EXPECT_FALSE(error.empty());
    }
    std::string huge = folder.file("huge");
    ASSERT_EQ(::truncate(folder.write("huge", "").c_str(), DocumentListFile::maxBytes + 1), 0);
    EXPECT_FALSE(DocumentListFile::read(huge, false, paths, error));
    EXPECT_NE(error.find("larger than 64 MiB"), std::string::npos) << error;
}

// Catches a named pipe that hangs the run when nobody writes to it, and one that is read only
// in part when a writer is there.
TEST(DocumentListFile, ReadsPipesWithoutWaitingForAWriterThatNeverComes)
{
    TemporaryFolder folder;
    const std::string fifo = folder.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::vector<std::string> paths;
    std::string error;
    EXPECT_FALSE(DocumentListFile::read(fifo, false, paths, error));
    EXPECT_NE(error.find("holds no path"), std::string::npos) << error;

    // A writer that goes on while the list is read, as find ... > fifo does. The test keeps a
    // reader of its own open, so that the writer never meets a pipe without one.
    int keepReading = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(keepReading, 0);
    int descriptor = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ASSERT_GE(descriptor, 0);
    std::thread writer([descriptor] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (int i = 0; i < 3000; ++i) {
            std::string line = "/data/" + std::to_string(i) + ".docx\n";
            if (::write(descriptor, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
                break;
        }
        ::close(descriptor);
    });
    paths.clear();
    bool read = DocumentListFile::read(fifo, false, paths, error);
    writer.join();
    ::close(keepReading);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(paths.size(), 3000u);
}
