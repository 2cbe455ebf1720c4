#include "platform/AbortCleanup.h"
#include "platform/FileOperations.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace files = platform::fileOperations;

namespace {

std::string contentsOf(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << stream.rdbuf();
    return bytes.str();
}

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}

// Catches a temporary named after the target: beside a target whose name already takes the
// 255 bytes a name may have, it cannot be made and the output is never written.
TEST(AtomicWrite, TargetWithTheLongestNameIsWritten)
{
    TemporaryFolder folder;
    std::string path = folder.file(std::string(250, 'n') + ".html");
    int error = 0;
    ASSERT_TRUE(files::writeFileAtomically(path, "page", 0644, error)) << std::strerror(error);
    EXPECT_EQ(contentsOf(path), "page");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string> { std::string(250, 'n') + ".html" });
}

// Catches an output written through a link planted under its name.
TEST(AtomicWrite, LinkUnderTheTargetNameIsReplacedNotWrittenThrough)
{
    TemporaryFolder folder;
    std::string victim = folder.write("victim.txt", "precious");
    std::filesystem::create_directory(folder.file("out"));
    std::string target = folder.file("out/a.docx.txt");
    std::filesystem::create_symlink("../victim.txt", target);
    int error = 0;
    ASSERT_TRUE(files::writeFileAtomically(target, "published", 0644, error));
    EXPECT_EQ(contentsOf(victim), "precious");
    EXPECT_FALSE(std::filesystem::is_symlink(target));
    EXPECT_EQ(contentsOf(target), "published");
}

// Catches a temporary that a forced end leaves behind: the cleanup run on the way out (here
// from another thread, as the signal watcher does) removes it while the write is under way.
TEST(AtomicWrite, ForcedEndRemovesTheTemporary)
{
    TemporaryFolder folder;
    const std::string previous = "the previous output";
    std::string target = folder.write("report.docx.txt", previous);
    std::atomic<bool> writing { true };
    std::thread ending([&] {
        while (writing)
            platform::AbortCleanup::runAll();
    });
    const std::string fresh(8 << 20, 'x');
    int interrupted = 0;
    for (int attempt = 0; attempt < 40 && interrupted == 0; ++attempt) {
        int error = 0;
        if (!files::writeFileAtomically(target, fresh, 0644, error))
            ++interrupted;
    }
    writing = false;
    ending.join();
    EXPECT_GT(interrupted, 0) << "no write was cut short by the cleanup";
    std::string now = contentsOf(target);
    EXPECT_TRUE(now == previous || now == fresh) << "the target holds " << now.size() << " bytes";
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string> { "report.docx.txt" });
}
