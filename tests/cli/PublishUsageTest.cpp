// pressling-cli publish refusing what it cannot do as asked: a usage error before any document is
// touched, as a real process.
#include "tests/cli/CliTestSupport.h"

#include "platform/ChildProcess.h"
#include "tests/support/ReadFile.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <unistd.h>

using platform::ChildProcess;

namespace {

ChildProcess::RunResult publish(const std::vector<std::string>& arguments, const std::string& registry)
{
    std::vector<std::string> argv = { cliPath(), "publish" };
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    ChildProcess::Options options;
    options.environment = { { "PRESSLING_REGISTRY_DIR", registry } };
    options.standardOutput.mode = ChildProcess::Output::Capture;
    options.standardError.mode = ChildProcess::Output::Capture;
    return ChildProcess::run(argv, std::chrono::seconds(60), options);
}

}

// Catches bad input that starts an office, publishes part of the run, or overwrites a document
// with the report: each must be exit 2 with a message, and every file as it was.
TEST(PublishUsage, BadInputIsAUsageErrorThatTouchesNothing)
{
    TemporaryFolder folder;
    const std::string document = folder.write("a.docx", "the user's document");
    const std::string other = folder.write("b.docx", "another document");
    ::symlink(document.c_str(), folder.file("link.docx").c_str());
    const std::string list = folder.write("list", document + "\n" + other + "\n");
    const std::string blank = folder.write("blank", document + "\n\n" + other + "\n");
    const std::string twice = folder.write("twice", document + "\n" + folder.file("link.docx") + "\n");
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        { { "--format", "pdf", "--report", document, document }, "is one of the documents or the list" },
        { { "--format", "pdf", "--report", document, other }, "is there already and is no report" },
        { { "--format", "pdf", "--files-from", list, "--report", list }, "is one of the documents or the list" },
        { { "--format", "pdf", "--report", folder.file("none/r.jsonl"), document }, "cannot write the report" },
        { { "--format", "pdf", "--files-from", folder.file("missing") }, "cannot read the list" },
        { { "--format", "pdf", "--files-from", blank }, "line 2 of" },
        { { "--format", "pdf", "--files-from", twice }, "name the same document" },
        { { "--format", "pdf", document, "--files-from", list }, "name the same document" },
        { { "--format", "pdf", "--files-from", "-" }, "the list standard input holds no path" },
        { { "--format", "pdf", "--files-from", "/dev/zero" }, "neither a file nor a pipe" },
        { { "--format", "pdf", "--jobs", "0", document }, "--jobs wants a number from 1 to 32" },
        { { "--format", "pdf", "--jobs", "64", document }, "--jobs wants a number from 1 to 32" },
        { { "--format", "pdf", "--shard", "3/2", document }, "the shards of 2 are 0 to 1" },
        { { "--format", "pdf", "--shard", "x/y", document }, "--shard wants I/N" },
        { { "--format", "pdf", "-0", document }, "-0 goes with --files-from" },
    };
    for (const Case& c : cases) {
        ChildProcess::RunResult result = publish(c.arguments, folder.path());
        ASSERT_TRUE(result.started);
        EXPECT_EQ(result.status.exitCode, 2) << testing::PrintToString(c.arguments) << result.standardError;
        EXPECT_NE(result.standardError.find(c.message), std::string::npos) << result.standardError;
        EXPECT_NE(result.standardError.find("Usage: pressling-cli publish"), std::string::npos);
        EXPECT_EQ(result.standardOutput, "") << "no row, no summary";
    }
    EXPECT_EQ(readFile(document), "the user's document");
    EXPECT_EQ(readFile(other), "another document");
    EXPECT_EQ(readFile(list), document + "\n" + other + "\n");
}
