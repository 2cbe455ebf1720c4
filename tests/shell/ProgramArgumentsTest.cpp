#include "shell/ProgramArguments.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Works in another current folder for the life of the object.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::string& folder)
        : m_previous(fs::current_path())
    {
        fs::current_path(folder);
    }
    ~ScopedCurrentFolder() { fs::current_path(m_previous); }

private:
    fs::path m_previous;
};

// What answer wrote on each stream, and the exit code it gave.
struct Answer {
    std::optional<int> exitCode;
    std::string output;
    std::string errors;
};

std::string contentOf(std::FILE* stream)
{
    std::rewind(stream);
    std::string text;
    char buffer[512];
    while (size_t read = std::fread(buffer, 1, sizeof(buffer), stream))
        text.append(buffer, read);
    std::fclose(stream);
    return text;
}

Answer answerOf(const std::vector<std::string>& words)
{
    std::FILE* output = std::tmpfile();
    std::FILE* errors = std::tmpfile();
    Answer answer;
    answer.exitCode = ProgramArguments::parse(words).answer(output, errors);
    answer.output = contentOf(output);
    answer.errors = contentOf(errors);
    return answer;
}

std::string folderOf(const std::vector<std::string>& words)
{
    ProgramArguments arguments = ProgramArguments::parse(words);
    EXPECT_EQ(arguments.request(), ProgramArguments::Request::Folder) << arguments.problem();
    return arguments.folder();
}

std::string problemOf(const std::string& word)
{
    ProgramArguments arguments = ProgramArguments::parse({ word });
    EXPECT_EQ(arguments.request(), ProgramArguments::Request::Mistake) << arguments.folder();
    return arguments.problem();
}

}

// Catches a start without words that no longer opens at the previous folder, or that prints
// something or ends before the window.
TEST(ProgramArguments, NoWordsOpenThePreviousFolderQuietly)
{
    EXPECT_EQ(ProgramArguments::parse({}).request(), ProgramArguments::Request::PreviousFolder);
    Answer answer = answerOf({});
    EXPECT_FALSE(answer.exitCode.has_value());
    EXPECT_EQ(answer.output, "");
    EXPECT_EQ(answer.errors, "");
}

// Catches a help that goes to standard error or ends with a failure, and one that leaves out a
// word of the command line it describes.
TEST(ProgramArguments, HelpPrintsTheUsageOnStandardOutputAndEndsWithZero)
{
    for (const std::string word : { "--help", "-h" }) {
        Answer answer = answerOf({ word });
        EXPECT_EQ(answer.exitCode, 0) << word;
        EXPECT_EQ(answer.errors, "") << word;
        EXPECT_EQ(answer.output.rfind("Usage: pressling [FOLDER]\n", 0), 0u) << answer.output;
        EXPECT_NE(answer.output.find("-h, --help"), std::string::npos) << answer.output;
    }
}

// Catches a folder handed on as typed (the tree finds no place for a relative path, nor for one
// with "." or ".." in it), and a link to a folder replaced by its target.
TEST(ProgramArguments, FolderBecomesAbsoluteAndEndsWithASlash)
{
    TemporaryFolder place;
    fs::create_directories(place.file("letters/2026"));
    fs::create_directory_symlink(place.file("letters/2026"), place.file("current"));
    const std::string letters = place.file("letters/");

    EXPECT_EQ(folderOf({ place.file("letters") }), letters);
    EXPECT_EQ(folderOf({ place.path() + "//letters/./" }), letters);
    EXPECT_EQ(folderOf({ "/" }), "/");
    EXPECT_EQ(folderOf({ place.file("current") }), place.file("current/"));
    // The link's ".." is the parent of where it leads, as the system takes it.
    EXPECT_EQ(folderOf({ place.file("current/..") }), letters);
    {
        ScopedCurrentFolder inside(place.path());
        EXPECT_EQ(folderOf({ "letters" }), letters);
        EXPECT_EQ(folderOf({ "." }), place.path() + "/");
        EXPECT_EQ(folderOf({ "letters/2026/.." }), letters);
    }
    Answer answer = answerOf({ letters });
    EXPECT_FALSE(answer.exitCode.has_value());
    EXPECT_EQ(answer.output + answer.errors, "");
}

// Catches a command line the program cannot follow that still opens the window (at some other
// folder), and a file, a pipe or a missing path taken for a folder. A pipe must not block the
// check.
TEST(ProgramArguments, WhatIsNoFolderIsAMistake)
{
    TemporaryFolder place;
    const std::string file = place.write("report.docx", "not a folder");
    ASSERT_EQ(::mkfifo(place.file("pipe").c_str(), 0600), 0);
    fs::create_symlink(place.file("loop"), place.file("loop"));

    EXPECT_EQ(problemOf(file), "'" + file + "' is not a folder");
    EXPECT_EQ(problemOf(place.file("pipe")), "'" + place.file("pipe") + "' is not a folder");
    EXPECT_EQ(problemOf("/dev/null"), "'/dev/null' is not a folder");
    EXPECT_EQ(problemOf(place.file("gone")), "'" + place.file("gone") + "' does not exist");
    EXPECT_EQ(problemOf(file + "/inside"), "'" + file + "/inside' does not exist");
    EXPECT_EQ(problemOf(""), "the folder name is empty");
    EXPECT_EQ(problemOf(place.file("loop")).find("cannot be reached"), place.file("loop").size() + 3);
    EXPECT_NE(problemOf(place.file(std::string(5000, 'x'))).find("cannot be reached"), std::string::npos);
}

// Catches options and extra words taken as folders, so that "pressling --verbose" or a second
// folder is silently ignored.
TEST(ProgramArguments, OptionsAndSecondWordsAreMistakes)
{
    TemporaryFolder place;
    EXPECT_EQ(problemOf("--verbose"), "unknown option '--verbose'");
    EXPECT_EQ(problemOf("-x"), "unknown option '-x'");
    EXPECT_EQ(problemOf("--"), "unknown option '--'");
    ProgramArguments two = ProgramArguments::parse({ place.path(), place.path() });
    EXPECT_EQ(two.request(), ProgramArguments::Request::Mistake);
    EXPECT_EQ(two.problem(), "one folder at most, but 2 arguments were given");
    EXPECT_EQ(
        ProgramArguments::parse({ "--help", place.path() }).request(), ProgramArguments::Request::Mistake);
}

// Catches a mistake answered on standard output, with another exit code than 2, or with a line
// end of the name splitting its one line.
TEST(ProgramArguments, MistakeIsAnsweredOnStandardErrorWithTheUsageLine)
{
    TemporaryFolder place;
    const std::string name = place.file("two\nlines\x1b[31m");
    Answer answer = answerOf({ name });
    EXPECT_EQ(answer.exitCode, 2);
    EXPECT_EQ(answer.output, "");
    EXPECT_EQ(answer.errors,
        "pressling: '" + place.file("two?lines?[31m") + "' does not exist\nUsage: pressling [FOLDER]\n");
}

// Catches a relative folder resolved against a current folder that is gone (the path would name
// nothing, or something else).
TEST(ProgramArguments, RelativeFolderInAVanishedCurrentFolderIsAMistake)
{
    auto place = std::make_unique<TemporaryFolder>();
    fs::create_directories(place->file("doomed"));
    ScopedCurrentFolder inside(place->file("doomed"));
    ASSERT_EQ(::rmdir(place->file("doomed").c_str()), 0);
    const std::string problem = problemOf("letters");
    EXPECT_EQ(problem.rfind("'letters': the current folder cannot be read", 0), 0u) << problem;
}

// Catches a command line decided before Qt took its options out of it (a -platform or -display
// would count as a word), and a plain folder or the help kept waiting for a display.
TEST(ProgramArguments, OnlyWordsQtCannotTakeAreDecidedBeforeIt)
{
    EXPECT_TRUE(ProgramArguments::decidedBeforeToolkit({}));
    EXPECT_TRUE(ProgramArguments::decidedBeforeToolkit({ "/home/ann/letters" }));
    EXPECT_TRUE(ProgramArguments::decidedBeforeToolkit({ "letters", "bills" }));
    EXPECT_TRUE(ProgramArguments::decidedBeforeToolkit({ "--help" }));
    EXPECT_TRUE(ProgramArguments::decidedBeforeToolkit({ "-h" }));
    EXPECT_FALSE(ProgramArguments::decidedBeforeToolkit({ "-platform", "offscreen", "letters" }));
    EXPECT_FALSE(ProgramArguments::decidedBeforeToolkit({ "letters", "-display", ":1" }));
    EXPECT_FALSE(ProgramArguments::decidedBeforeToolkit({ "--help", "-reverse" }));
}
