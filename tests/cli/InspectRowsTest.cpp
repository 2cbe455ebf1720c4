#include "cli/ShellQuote.h"
#include "platform/ChildProcess.h"
#include "tests/cli/CliTestSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <vector>

using platform::ChildProcess;

namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

// The path that a bash reads from a printed field.
std::string readBackByBash(const std::string& field)
{
    return ChildProcess::run({ "bash", "-c", "printf %s " + field }, std::chrono::seconds(30)).standardOutput;
}

}

// Catches rows split over lines by names holding a line end or a tab (a script reading one row
// per line would see rows that name no file), and error lines split the same way.
TEST(InspectRows, OneRowPerNameWithLineEndsAndTabs)
{
    TemporaryFolder folder;
    std::vector<std::string> paths = { folder.write("two\nlines.docx", "not a document"),
        folder.write("tab\tinside.doc", "not a document"), folder.write("plain name.doc", "not a document") };
    std::string missing = folder.file("gone\nmissing.docx");
    TemporaryFolder registry;
    ChildProcess::Options options;
    options.environment = { { "PRESSLING_REGISTRY_DIR", registry.path() } };
    std::vector<std::string> argv = { cliPath(), "inspect" };
    argv.insert(argv.end(), paths.begin(), paths.end());
    argv.push_back(missing);
    auto result = ChildProcess::run(argv, std::chrono::seconds(60), options);
    ASSERT_TRUE(result.succeeded()) << result.error << result.standardError;

    std::vector<std::string> rows = linesOf(result.standardOutput);
    ASSERT_EQ(rows.size(), 4u) << result.standardOutput;
    paths.push_back(missing);
    for (size_t i : { 0, 1, 3 }) {
        ASSERT_EQ(rows[i].substr(0, 4), "-\t$'") << rows[i];
        std::string field = rows[i].substr(2);
        EXPECT_EQ(field.find('\t'), std::string::npos) << rows[i];
        EXPECT_EQ(readBackByBash(field), paths[i]) << rows[i];
    }
    // A plain name stands as it is, blanks and all.
    EXPECT_EQ(rows[2], "-\t" + paths[2]);
    EXPECT_EQ(linesOf(result.standardError),
        (std::vector<std::string> {
            "pressling-cli inspect: " + ShellQuote::printable(missing) + ": no such file" }));
}

// Catches the trace of a file that cannot be read written among the rows: a broken PDF whose name
// holds a line end would give a script reading the rows lines that name no file. The trace keeps
// its text and goes to standard error.
TEST(InspectRows, TraceOfABrokenFileStaysOffTheRows)
{
    TemporaryFolder folder;
    std::string broken = folder.write("broken\nscan.pdf", "<html>not a PDF</html>");
    std::string plain = folder.write("plain.pdf", "%PDF-1.4\n%%EOF\n");
    TemporaryFolder registry;
    ChildProcess::Options options;
    options.environment = { { "PRESSLING_REGISTRY_DIR", registry.path() } };
    auto result
        = ChildProcess::run({ cliPath(), "inspect", broken, plain }, std::chrono::seconds(60), options);
    ASSERT_TRUE(result.succeeded()) << result.error << result.standardError;
    EXPECT_EQ(result.standardOutput, "-\t" + ShellQuote::printable(broken) + "\n-\t" + plain + "\n");
    EXPECT_EQ(result.standardError, "Access error:1 " + broken + "\n");
}
