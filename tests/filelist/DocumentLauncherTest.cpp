#include "filelist/DocumentLauncher.h"

#include "ListDesktop.h"
#include "filelist/OpenCommand.h"
#include "tests/support/ReadFile.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TemporaryRegistry.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::string recorder = ARGUMENT_RECORDER_PATH;

struct Record {
    std::string session;
    std::vector<std::string> arguments;
};

// Parses what the recorder wrote: "sid=N", "pid=N", then one "LENGTH:BYTES" line per argument.
Record parse(const std::string& text)
{
    Record record;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    record.session = line.substr(line.find('=') + 1);
    std::getline(lines, line);
    size_t position = static_cast<size_t>(lines.tellg());
    while (position < text.size()) {
        size_t colon = text.find(':', position);
        size_t length = std::stoul(text.substr(position, colon - position));
        record.arguments.push_back(text.substr(colon + 1, length));
        position = colon + 1 + length + 1;
    }
    return record;
}

// Each test's recorder writes to a file of its own, named through the environment that the
// opened program inherits.
class Recording {
public:
    Recording()
        : m_output(m_folder.file("record"))
        , m_environment("PRESSLING_RECORDER_OUTPUT", m_output)
    {
    }

    // What the recorder was started with; gives up after ten seconds rather than hang.
    Record wait() const
    {
        for (int i = 0; i < 500 && !fs::exists(m_output); ++i)
            std::this_thread::sleep_for(20ms);
        EXPECT_TRUE(fs::exists(m_output)) << "the program was not started";
        return parse(readFile(m_output));
    }

    // Nothing must have been started: the recorder would have written by now.
    bool nothingStarted() const
    {
        std::this_thread::sleep_for(300ms);
        return !fs::exists(m_output);
    }

private:
    TemporaryFolder m_folder;
    std::string m_output;
    ScopedEnvironment m_environment;
};

const std::string ourSession = std::to_string(getsid(0));

}

// The path reaches the program as one argument, byte for byte, whatever it looks like, and the
// program runs in a session of its own.
TEST(DocumentLauncher, FieldCodeFGivesTheExactPath)
{
    listDesktop();
    TemporaryRegistry registry;
    TemporaryFolder folder;
    for (const std::string name :
        { "with space.prsfile", "quo\"te's.prsfile", "-leading-dash.prsfile", "bytes \xff\xfe.prsfile" }) {
        SCOPED_TRACE(name);
        std::string path = folder.write(name, "document");
        Recording recording;
        ASSERT_EQ(DocumentLauncher().open(path.c_str()), 0);
        Record record = recording.wait();
        EXPECT_EQ(record.arguments, (std::vector<std::string> { "--field-f", path }));
        EXPECT_NE(record.session, ourSession);
    }
}

TEST(DocumentLauncher, FieldCodeUGivesTheFilesUri)
{
    listDesktop();
    TemporaryRegistry registry;
    TemporaryFolder folder;
    std::string path = folder.write("a b \xff%.prsuri", "document");
    Recording recording;
    ASSERT_EQ(DocumentLauncher().open(path.c_str()), 0);
    Record record = recording.wait();
    ASSERT_EQ(record.arguments.size(), 1u);
    const std::string& uri = record.arguments.front();
    ASSERT_EQ(uri.rfind("file://", 0), 0u) << uri;
    EXPECT_EQ(uri.find_first_of(" \xff"), std::string::npos) << uri;
    EXPECT_EQ(QByteArray::fromPercentEncoding(QByteArray::fromStdString(uri.substr(7))).toStdString(), path);
    EXPECT_NE(record.session, ourSession);
}

// Without an extension, with one the desktop does not know, or with a type that no application
// opens, there is no program: -1 and nothing started.
TEST(DocumentLauncher, NoRegisteredProgramStartsNothing)
{
    listDesktop();
    TemporaryRegistry registry;
    TemporaryFolder folder;
    Recording recording;
    for (const std::string name :
        { "no-extension", "unknown.pressling-unknown-extension", "unopened.prsnone" }) {
        std::string path = folder.write(name, "document");
        EXPECT_EQ(DocumentLauncher().open(path.c_str()), -1) << name;
    }
    // The last "." stands in a folder's name: what follows it is no extension.
    std::string inFolder = folder.write("folder.prsfile/no-extension", "document");
    EXPECT_EQ(DocumentLauncher().open(inFolder.c_str()), -1);
    EXPECT_EQ(DocumentLauncher().open(nullptr), -1);
    EXPECT_TRUE(recording.nothingStarted());
}

// classes.reg is the user's own registration and overrides the desktop's; a command in the
// Windows form with "%1" gets the path there.
TEST(DocumentLauncher, ClassesFileWinsOverTheDesktop)
{
    listDesktop();
    TemporaryRegistry registry;
    registry.writeClassesFile("[HKEY_CLASSES_ROOT\\.prsfile]\n@=\"Pressling.Own\"\n\n"
                              "[HKEY_CLASSES_ROOT\\Pressling.Own\\shell\\open\\command]\n@=\"\\\""
        + recorder + "\\\" --from-classes \\\"%1\\\"\"\n");
    TemporaryFolder folder;
    std::string path = folder.write("mine.prsfile", "document");
    Recording recording;
    ASSERT_EQ(DocumentLauncher().open(path.c_str()), 0);
    EXPECT_EQ(recording.wait().arguments, (std::vector<std::string> { "--from-classes", path }));
}

// The program of a command may name its folder through the environment, in either form.
TEST(DocumentLauncher, ProgramFromTheEnvironmentWithThePathAppended)
{
    listDesktop();
    TemporaryRegistry registry;
    ScopedEnvironment folderOfRecorder(
        "PRESSLING_TEST_RECORDER_FOLDER", fs::path(recorder).parent_path().string());
    std::string program = fs::path(recorder).filename().string();
    registry.writeClassesFile(
        "[HKEY_CLASSES_ROOT\\.prsenv]\n@=\"Pressling.Env\"\n\n"
        "[HKEY_CLASSES_ROOT\\Pressling.Env\\shell\\open\\command]\n@=\"${PRESSLING_TEST_RECORDER_FOLDER}/"
        + program
        + " --plain\"\n\n"
          "[HKEY_CLASSES_ROOT\\.prswin]\n@=\"Pressling.Win\"\n\n"
          "[HKEY_CLASSES_ROOT\\Pressling.Win\\shell\\open\\command]\n@=\"\\\"%PRESSLING_TEST_RECORDER_"
          "FOLDER%/"
        + program + "\\\"\"\n");
    TemporaryFolder folder;
    std::string path = folder.write("env.prsenv", "document");
    {
        Recording recording;
        ASSERT_EQ(DocumentLauncher().open(path.c_str()), 0);
        EXPECT_EQ(recording.wait().arguments, (std::vector<std::string> { "--plain", path }));
    }
    std::string windows = folder.write("win.prswin", "document");
    Recording recording;
    ASSERT_EQ(DocumentLauncher().open(windows.c_str()), 0);
    EXPECT_EQ(recording.wait().arguments, (std::vector<std::string> { windows }));
}

// A registered program that does not exist is an error of the start, reported at once.
TEST(DocumentLauncher, MissingProgramFailsToStart)
{
    listDesktop();
    TemporaryRegistry registry;
    registry.writeClassesFile(
        "[HKEY_CLASSES_ROOT\\.prsmissing]\n@=\"Pressling.Missing\"\n\n"
        "[HKEY_CLASSES_ROOT\\Pressling.Missing\\shell\\open\\command]\n@=\"/nonexistent/pressling-missing "
        "\\\"%1\\\"\"\n");
    TemporaryFolder folder;
    std::string path = folder.write("gone.prsmissing", "document");
    EXPECT_EQ(DocumentLauncher().open(path.c_str()), ENOENT);
}
