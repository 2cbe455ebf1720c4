#include "filelist/OpenCommand.h"

#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

using Arguments = std::vector<std::string>;

namespace {

const char* const document = "/home/user/My Documents/report.doc";
const char* const documentUri = "file:///home/user/My%20Documents/report.doc";

Arguments argumentsOf(const char* command, const char* path = document)
{
    return OpenCommand(command).argumentsFor(path);
}

}

TEST(OpenCommand, FileCodesBecomeThePath)
{
    EXPECT_EQ(argumentsOf("evince %f"), (Arguments { "evince", document }));
    EXPECT_EQ(argumentsOf("viewer --many %F"), (Arguments { "viewer", "--many", document }));
    EXPECT_EQ(argumentsOf("viewer --file=%f"), (Arguments { "viewer", std::string("--file=") + document }));
}

TEST(OpenCommand, UriCodesBecomeAFileUri)
{
    EXPECT_EQ(argumentsOf("libreoffice --writer %U"), (Arguments { "libreoffice", "--writer", documentUri }));
    EXPECT_EQ(argumentsOf("browser %u"), (Arguments { "browser", documentUri }));
}

// Codes that stand for icons, names or the desktop file give no argument at all; %% is a %.
TEST(OpenCommand, DeprecatedCodesGoAndDoublePercentStays)
{
    EXPECT_EQ(
        argumentsOf("app %i %c %k --rate=100%% %f %d%D"), (Arguments { "app", "--rate=100%", document }));
    // A code the rules do not know is left as written.
    EXPECT_EQ(argumentsOf("app %z %f"), (Arguments { "app", "%z", document }));
}

// The form registered on Windows: the program in quotes, the document at "%1".
TEST(OpenCommand, WindowsFormGetsThePathAtPercentOne)
{
    EXPECT_EQ(argumentsOf("\"/opt/My Office/soffice\" -o \"%1\""),
        (Arguments { "/opt/My Office/soffice", "-o", document }));
}

// A command that names no place for the document gets it as its last argument.
TEST(OpenCommand, CommandWithoutCodeGetsThePathAppended)
{
    EXPECT_EQ(argumentsOf("gedit"), (Arguments { "gedit", document }));
    EXPECT_EQ(
        argumentsOf("\"/opt/app\" --new-window,"), (Arguments { "/opt/app", "--new-window", document }));
}

TEST(OpenCommand, ProgramHasItsEnvironmentVariablesExpanded)
{
    ScopedEnvironment folder("PRESSLING_TEST_OFFICE", "/opt/office");
    EXPECT_EQ(
        argumentsOf("$PRESSLING_TEST_OFFICE/soffice %f"), (Arguments { "/opt/office/soffice", document }));
    EXPECT_EQ(argumentsOf("\"%PRESSLING_TEST_OFFICE%/soffice\" \"%1\""),
        (Arguments { "/opt/office/soffice", document }));
    // Only the program is expanded; an argument is the command's text.
    EXPECT_EQ(argumentsOf("app $PRESSLING_TEST_OFFICE %f"),
        (Arguments { "app", "$PRESSLING_TEST_OFFICE", document }));
}

// A path that looks like an option or holds quotes and codes is one argument, unchanged.
TEST(OpenCommand, PathIsNeverInterpreted)
{
    const char* strange = "/tmp/-rf \"quoted\" %f 100%.doc";
    EXPECT_EQ(argumentsOf("evince %f", strange), (Arguments { "evince", strange }));
    EXPECT_EQ(argumentsOf("evince", strange), (Arguments { "evince", strange }));
}

TEST(OpenCommand, NoProgramNoArguments)
{
    EXPECT_TRUE(argumentsOf("").empty());
    EXPECT_TRUE(argumentsOf("   ").empty());
    EXPECT_TRUE(argumentsOf("\"\" %f").empty());
    EXPECT_TRUE(OpenCommand(nullptr).argumentsFor(document).empty());
    EXPECT_TRUE(argumentsOf("evince %f", nullptr).empty());
}

// Every byte that a URI may not carry as it is is percent-encoded, non-UTF-8 bytes included.
TEST(OpenCommand, FileUriEncodesBytes)
{
    EXPECT_EQ(OpenCommand::fileUri("/a b/\xc3\xbc\xff%#?&.doc"), "file:///a%20b/%C3%BC%FF%25%23%3F%26.doc");
    EXPECT_EQ(OpenCommand::fileUri("/plain-name_1.2~x"), "file:///plain-name_1.2~x");
}
