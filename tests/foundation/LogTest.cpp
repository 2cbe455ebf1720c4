#include "platform/ChildProcess.h"
#include "tests/support/ReadFile.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/UnixSocketListener.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The log key of the child program, whose executable is named "logchild".
const char* const LogSection = "[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\logchild\\Log]";
const char* const TimeStamp
    = "(?:Sun|Mon|Tue|Wed|Thu|Fri|Sat) (?:Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
      "[ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}";

// The lines of a log file; a last line without its line end is kept as it is so that a test sees it.
std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start) + "<no line end>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The tag and message of a well-formed line. The time stamp alone goes through the regular
// expression, whose matcher recurses per character and would overflow on a 30000-character message.
std::string tagOf(const std::string& line)
{
    static const std::regex stamp(std::string("^") + TimeStamp + "$");
    const size_t stampLength = 24;
    if (line.size() < stampLength + 2 || !std::regex_match(line.substr(0, stampLength), stamp)
        || line.compare(stampLength, 2, "  ") != 0)
        return "<malformed: " + line.substr(0, 80) + ">";
    std::string rest = line.substr(stampLength + 2);
    for (const char* tag : { "Error: ", "Debug: ", "Trace: " }) {
        if (rest.rfind(tag, 0) == 0)
            return rest;
    }
    return "<no tag: " + line.substr(0, 80) + ">";
}

class LogChild : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_work);
        std::filesystem::create_directories(m_registry);
        std::filesystem::create_directories(m_runtime);
    }

    // Writes the user root with the given lines as the values of the log key.
    void writeLogKey(const std::string& values) const
    {
        std::ofstream(m_registry + "/user.reg") << "REGEDIT4\n\n" << LogSection << "\n" << values << "\n";
    }

    platform::ChildProcess::RunResult runChild(const std::string& mode, const std::string& runtimeFolder = "")
    {
        platform::ChildProcess::Options options;
        options.workingFolder = m_work;
        options.environment = { { "PRESSLING_REGISTRY_DIR", m_registry },
            { "XDG_RUNTIME_DIR", runtimeFolder.empty() ? m_runtime : runtimeFolder } };
        auto result
            = platform::ChildProcess::run({ LOG_CHILD_PATH, mode }, std::chrono::seconds(30), options);
        EXPECT_TRUE(result.succeeded()) << result.error << result.standardError;
        return result;
    }

    std::vector<std::string> workFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_work))
            names.push_back(entry.path().filename().string());
        return names;
    }

    std::vector<std::string> defaultLogLines() const { return linesOf(readFile(m_work + "/logchild.log")); }

    TemporaryFolder m_folder;
    std::string m_work = m_folder.file("work");
    std::string m_registry = m_folder.file("registry");
    std::string m_runtime = m_folder.file("runtime");
};

}

// Catches logging that is on by default or that creates its file before knowing it will write.
TEST_F(LogChild, NoLogKeyWritesNothingAndCreatesNoFile)
{
    auto result = runChild("levels");
    EXPECT_EQ(result.standardOutput, ".//logchild.log\n");
    EXPECT_TRUE(workFiles().empty());

    std::ofstream(m_registry + "/user.reg")
        << "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick]\n\"x\"=\"y\"\n";
    runChild("levels");
    EXPECT_TRUE(workFiles().empty());
}

// Catches a level 0 that is taken for "everything".
TEST_F(LogChild, LevelZeroWritesNothing)
{
    writeLogKey("\"level\"=dword:00000000");
    runChild("levels");
    EXPECT_TRUE(workFiles().empty());
}

// Catches thresholds that are off by one or tags that belong to another severity.
TEST_F(LogChild, EachLevelWritesItsSeveritiesAndThoseAboveIt)
{
    const std::vector<std::string> all = { "Error: LogChild#main,1,error 1", "Debug: LogChild#main,2,debug 2",
        "Trace: LogChild#main,3,trace 3" };
    for (int level = 1; level <= 3; ++level) {
        SCOPED_TRACE(level);
        std::filesystem::remove(m_work + "/logchild.log");
        writeLogKey("\"level\"=dword:0000000" + std::to_string(level));
        runChild("levels");
        std::vector<std::string> tags;
        for (const std::string& line : defaultLogLines())
            tags.push_back(tagOf(line));
        EXPECT_EQ(tags, std::vector<std::string>(all.begin(), all.begin() + level));
    }
}

// Catches a line form that differs from the documented one: one blank too few before the tag, a
// carriage return, or a missing line end.
TEST_F(LogChild, LineHoldsTimeStampTwoBlanksTagBlankMessageAndLineEnd)
{
    writeLogKey("\"level\"=dword:00000001");
    runChild("levels");
    std::string text = readFile(m_work + "/logchild.log");
    EXPECT_TRUE(std::regex_match(
        text, std::regex(std::string("^") + TimeStamp + "  Error: LogChild#main,1,error 1\n$")))
        << text;
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

// Catches lines lost when the file is appended to, rather than replaced, across runs.
TEST_F(LogChild, LaterRunsAppend)
{
    writeLogKey("\"level\"=dword:00000001");
    runChild("levels");
    runChild("levels");
    EXPECT_EQ(defaultLogLines().size(), 2u);
}

// Catches an empty message that drops the line or its blanks.
TEST_F(LogChild, EmptyMessageKeepsTimeStampTagAndBlanks)
{
    writeLogKey("\"level\"=dword:00000001");
    runChild("empty");
    std::string text = readFile(m_work + "/logchild.log");
    EXPECT_TRUE(std::regex_match(text, std::regex(std::string("^") + TimeStamp + "  Error: \n$"))) << text;
}

// Catches a message that overflows its buffer or is cut at the wrong place.
TEST_F(LogChild, LongMessageIsCutTo30718Characters)
{
    writeLogKey("\"level\"=dword:00000001");
    runChild("long");
    std::vector<std::string> lines = defaultLogLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(tagOf(lines[0]), "Error: " + std::string(30718, 'x'));
}

// Catches the folder and file name values being ignored, or missing parent folders not made.
TEST_F(LogChild, ConfiguredFolderIsCreatedWithItsParentsAndHoldsTheNamedFile)
{
    std::string folder = m_folder.file("logs/a/b");
    writeLogKey("\"level\"=dword:00000001\n\"dir\"=\"  " + folder + "\t\"\n\"filename\"=\"custom.log\"");
    auto result = runChild("levels");
    EXPECT_EQ(result.standardOutput, folder + "/custom.log\n");
    EXPECT_EQ(linesOf(readFile(folder + "/custom.log")).size(), 1u);
    EXPECT_TRUE(workFiles().empty());
}

// Catches a folder that cannot be made silently losing every line instead of falling back.
TEST_F(LogChild, UncreatableFolderFallsBackToTheCurrentDirectory)
{
    std::string plainFile = m_folder.write("plain", "not a folder");
    writeLogKey("\"level\"=dword:00000001\n\"dir\"=\"" + plainFile + "/sub\"");
    auto result = runChild("levels");
    EXPECT_EQ(result.standardOutput, ".//logchild.log\n");
    EXPECT_EQ(defaultLogLines().size(), 1u);
}

// Catches a blank folder value that is used as a folder named with blanks.
TEST_F(LogChild, BlankFolderCountsAsAbsent)
{
    writeLogKey("\"level\"=dword:00000001\n\"dir\"=\"   \"\n\"filename\"=\" \t \"");
    auto result = runChild("levels");
    EXPECT_EQ(result.standardOutput, ".//logchild.log\n");
    EXPECT_EQ(workFiles(), std::vector<std::string> { "logchild.log" });
}

// Catches a configured path too long for the log path being cut into the name of another file.
TEST_F(LogChild, FolderTooLongForThePathFallsBackToTheCurrentDirectory)
{
    std::string folder = m_folder.file(std::string(120, 'd') + "/" + std::string(120, 'e'));
    std::filesystem::create_directories(folder);
    writeLogKey("\"level\"=dword:00000001\n\"dir\"=\"" + folder + "\"\n\"filename\"=\"" + std::string(40, 'f')
        + "\"");
    auto result = runChild("levels");
    EXPECT_EQ(result.standardOutput, ".//" + std::string(40, 'f') + "\n");
    EXPECT_EQ(linesOf(readFile(m_work + "/" + std::string(40, 'f'))).size(), 1u);
}

// Catches an echo that stops the file from being written when no viewer is there.
TEST_F(LogChild, ConsoleWithoutViewerStillWritesTheFile)
{
    writeLogKey("\"level\"=dword:00000001\n\"console\"=dword:00000001");
    runChild("levels");
    EXPECT_EQ(defaultLogLines().size(), 1u);
    // XDG_RUNTIME_DIR empty: there is nowhere to look for a viewer.
    runChild("levels", "");
    EXPECT_EQ(defaultLogLines().size(), 2u);
}

// Catches an echo that is missing, merged with its line end, or sent with console off.
TEST_F(LogChild, ConsoleEchoesMessageThenLineEndToAListeningViewer)
{
    UnixSocketListener viewer(m_runtime + "/pressling-log-viewer");
    writeLogKey("\"level\"=dword:00000002\n\"console\"=dword:00000001");
    runChild("levels");
    EXPECT_EQ(viewer.takePending(),
        (std::vector<std::string> { "LogChild#main,1,error 1", "\r\n", "LogChild#main,2,debug 2", "\r\n" }));

    writeLogKey("\"level\"=dword:00000002\n\"console\"=dword:00000000");
    runChild("levels");
    EXPECT_TRUE(viewer.takePending().empty());
}

// Catches a configuration that runs twice or half-done when several threads log first at once,
// and lines torn apart by concurrent appends.
TEST_F(LogChild, ConcurrentFirstCallsGiveWholeLines)
{
    writeLogKey("\"level\"=dword:00000001");
    runChild("threads");
    std::set<std::string> seen;
    for (const std::string& line : defaultLogLines())
        seen.insert(tagOf(line));
    std::set<std::string> expected;
    for (int thread = 0; thread < 8; ++thread) {
        for (int line = 0; line < 50; ++line)
            expected.insert("Error: LogChild#threads," + std::to_string(thread) + ",line "
                + std::to_string(line) + " of thread " + std::to_string(thread));
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(defaultLogLines().size(), 400u);
}

namespace {

// True when message is one that the "whole" mode of the child logs: its thread and line
// numbers, then its thread's letter as many times as that line asks, and nothing else.
bool isWholeMessage(const std::string& message, std::set<std::pair<int, int>>& seen)
{
    int thread = -1;
    int line = -1;
    int prefix = 0;
    if (std::sscanf(message.c_str(), "LogChild#whole,%d,%d,%n", &thread, &line, &prefix) != 2 || prefix == 0)
        return false;
    if (thread < 0 || thread >= 16 || line < 0 || line >= 120)
        return false;
    size_t length = line % 6 == 0 ? 4000 + 1000 * static_cast<size_t>(line / 6) : 10 + line;
    std::string filler(length, static_cast<char>('a' + thread));
    if (message.compare(static_cast<size_t>(prefix), std::string::npos, filler) != 0)
        return false;
    return seen.emplace(thread, line).second;
}

}

// Catches a message parted from its line end, or two threads' lines mixed: sixteen threads log
// at once, short messages and long ones that take several writes to reach the file, with the
// echo on and a viewer listening. Every line of the file is one whole message, and the viewer gets every
// message followed directly by its line end.
TEST_F(LogChild, ConcurrentLongMessagesStayWholeInTheFileAndAtTheViewer)
{
    UnixSocketListener viewer(m_runtime + "/pressling-log-viewer", 4096);
    writeLogKey("\"level\"=dword:00000001\n\"console\"=dword:00000001");
    runChild("whole");

    std::vector<std::string> lines = defaultLogLines();
    std::set<std::pair<int, int>> inFile;
    int torn = 0;
    for (const std::string& line : lines) {
        std::string tagged = tagOf(line);
        if (tagged.rfind("Error: ", 0) != 0 || !isWholeMessage(tagged.substr(7), inFile))
            ++torn;
    }
    EXPECT_EQ(torn, 0) << "of " << lines.size() << " lines";
    EXPECT_EQ(inFile.size(), 1920u);

    std::vector<std::string> pieces = viewer.takePending();
    ASSERT_EQ(pieces.size(), 3840u);
    std::set<std::pair<int, int>> atViewer;
    int parted = 0;
    for (size_t i = 0; i + 1 < pieces.size(); i += 2) {
        if (!isWholeMessage(pieces[i], atViewer) || pieces[i + 1] != "\r\n")
            ++parted;
    }
    EXPECT_EQ(parted, 0) << "of " << pieces.size() / 2 << " messages";
}
