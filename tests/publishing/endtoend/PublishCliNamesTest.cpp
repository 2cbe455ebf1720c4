// pressling-cli's rows and progress lines for documents whose names hold a line end or a tab.
#include "EndToEndSupport.h"
#include "EngineTestSupport.h"

#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace fs = std::filesystem;
using platform::ChildProcess;
using namespace std::chrono_literals;

namespace {

// The path that a bash reads from a printed field.
std::string readBackByBash(const std::string& field)
{
    return ChildProcess::run({ "bash", "-c", "printf %s " + field }, 30s).standardOutput;
}

}

// Catches a publish row or a progress line split over lines by a document's name, which a script
// reading one row per line takes for rows that name no file.
TEST(PublishCliNames, OneRowPerDocumentWhateverItsName)
{
    TestRegistry registry;
    TemporaryFolder folder;
    std::vector<std::string> paths
        = { copyCorpusDocument("word/default.docx", folder.path(), "two\nlines.docx"),
              copyCorpusDocument("word/default.docx", folder.path(), "a\ttab.docx") };
    ChildProcess::Options options = cliOptions(registry.folder().path());
    auto result = ChildProcess::run(
        { PRESSLING_CLI_PATH, "publish", "--format", "text", paths[0], paths[1] }, 5min, options);
    ASSERT_TRUE(result.succeeded()) << result.standardOutput << result.standardError;

    std::vector<std::string> rows = textLines(result.standardOutput);
    ASSERT_EQ(rows.size(), 3u) << result.standardOutput;
    for (size_t i = 0; i < paths.size(); ++i) {
        ASSERT_EQ(rows[i].substr(0, 5), "OK\t$'") << rows[i];
        EXPECT_EQ(readBackByBash(rows[i].substr(3)), paths[i]) << rows[i];
        EXPECT_TRUE(fs::exists(paths[i] + ".txt"));
    }
    EXPECT_EQ(rows[2], "Publishing Result: Total=2   Scucceeded=2   Failed=0");

    std::vector<std::string> progress;
    for (const std::string& line : textLines(result.standardError)) {
        if (line.rfind("Publishing (", 0) == 0)
            progress.push_back(line);
    }
    ASSERT_EQ(progress.size(), 2u) << result.standardError;
    for (size_t i = 0; i < paths.size(); ++i) {
        std::string prefix = "Publishing (" + std::to_string(i + 1) + "/2): ";
        ASSERT_EQ(progress[i].substr(0, prefix.size()), prefix) << progress[i];
        EXPECT_EQ(readBackByBash(progress[i].substr(prefix.size())), paths[i]) << progress[i];
    }
}
