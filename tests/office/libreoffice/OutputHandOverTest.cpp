#include "office/libreoffice/OutputHandOver.h"
#include "tests/support/ReadFile.h"
#include "tests/support/ScratchMount.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// What an office could leave in its output folder: a page, a folder of pictures, and what no
// export writes (a link out of the folder, a FIFO that would block whoever reads it).
void fillLikeAnExport(const TemporaryFolder& output)
{
    output.write("page.html", "<html><img src=\"images/a.png\"></html>");
    output.write("images/a.png", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    fs::create_symlink("/etc/hostname", output.file("link.png"));
    ::mkfifo(output.file("pipe").c_str(), 0600);
}

void expectHandedOver(const TemporaryFolder& output, const std::string& into)
{
    office::outputHandOver::moveAll(output.path(), into);
    EXPECT_EQ(readFile(into + "/page.html"), "<html><img src=\"images/a.png\"></html>");
    EXPECT_EQ(readFile(into + "/images/a.png"), std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    EXPECT_FALSE(fs::exists(fs::symlink_status(into + "/link.png"))) << "a link was handed over";
    EXPECT_FALSE(fs::exists(fs::symlink_status(into + "/pipe"))) << "a FIFO was handed over";
    EXPECT_TRUE(fs::is_empty(output.path())) << "the office's output folder was not emptied";
}

}

// Catches a hand-over that only works where the office's folder and the target share a file
// system (a runtime folder on tmpfs does not), that loses a folder of pictures, or that
// follows a link or opens a FIFO that the office left.
TEST(OutputHandOver, MovesFilesAndFoldersWithinAndAcrossFileSystemsAndDropsTheRest)
{
    TemporaryFolder output;
    TemporaryFolder target;
    fillLikeAnExport(output);
    expectHandedOver(output, target.path());

    std::string point = target.file("other-file-system");
    ScratchMount mount(point, { "mount", "-t", "tmpfs", "-o", "size=1m", "pressling-test" });
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a file system here: " << mount.reason();
    fillLikeAnExport(output);
    expectHandedOver(output, point);
}
