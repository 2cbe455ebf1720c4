#include "tests/classify/ClassifyTestSupport.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct CliRun {
    int exitCode;
    std::string output;
    std::string errors;
};

std::string shellQuoted(const std::string& argument)
{
    std::string result = "'";
    for (char character : argument)
        result += character == '\'' ? std::string("'\\''") : std::string(1, character);
    return result + "'";
}

CliRun inspect(const std::vector<std::string>& arguments, const TemporaryFolder& scratch)
{
    std::string command = shellQuoted(PRESSLING_CLI_PATH) + " inspect";
    for (const std::string& argument : arguments)
        command += " " + shellQuoted(argument);
    std::string errorFile = scratch.file("stderr.txt");
    command += " 2>" + shellQuoted(errorFile);
    CliRun run { -1, std::string(), std::string() };
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        run.output.append(buffer, count);
    int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream errors(errorFile);
    std::ostringstream text;
    text << errors.rdbuf();
    run.errors = text.str();
    return run;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

}

// Catches the command and the file list disagreeing about a real Office file.
TEST(InspectCommand, RealOfficeFilesShowTheirTablesKind)
{
    std::string corpus = classifytest::officeCryptoCorpus();
    if (corpus.empty())
        GTEST_SKIP() << "no corpus beside this checkout";
    const std::map<std::string, std::string> expected = {
        { "plain.doc", "-" },
        { "plain.xls", "-" },
        { "plain.ppt", "-" },
        { "rc4cryptoapi_password.doc", "PWD" },
        { "rc4cryptoapi_password.xls", "PWD" },
        { "xor_password_123456789012345.xls", "PWD" },
        { "rc4cryptoapi_password.ppt", "PWD" },
        { "example_password.docx", "PWD" },
        { "ecma376standard_password.docx", "PWD" },
        { "example_password.xlsx", "PWD" },
        { "decrypted-example.docx", "-" },
        { "decrypted-example.xlsx", "-" },
        { "decrypted-ecma376standard_password_plain.docx", "-" },
        { "decrypted-rc4cryptoapi_password_plain.doc", "-" },
        { "decrypted-rc4cryptoapi_password_plain.xls", "-" },
        { "decrypted-rc4cryptoapi_password_plain.ppt", "-" },
        { "decrypted-xor_password_123456789012345_plain.xls", "-" },
    };
    TemporaryFolder scratch;
    std::vector<std::string> paths;
    for (const auto& [name, kind] : expected)
        paths.push_back(corpus + "/" + name);
    CliRun run = inspect(paths, scratch);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors, "");
    std::vector<std::string> lines = linesOf(run.output);
    ASSERT_EQ(lines.size(), expected.size()) << run.output;
    size_t i = 0;
    for (const auto& [name, kind] : expected)
        EXPECT_EQ(lines[i++], kind + "\t" + corpus + "/" + name);
}

// Catches the owner fields missing, the CLC answer wrong, or a missing path left unreported.
TEST(InspectCommand, OwnerFieldsAndMissingPaths)
{
    TemporaryFolder folder;
    std::string rights = folder.file("rights.doc");
    classifytest::writeRightsProtected(rights, std::string("\x09") + "DRMTransform",
        classifytest::primaryStream(classifytest::xrmlLicence("team-lead")));
    std::string other = folder.file("other.doc");
    classifytest::writeRightsProtected(other, std::string("\x09") + "DRMTransform",
        classifytest::primaryStream(classifytest::xrmlLicence("stranger")));
    std::string text = folder.write("notes.txt", "plain text");
    folder.write("data/Microsoft/DRM/CLC-team;klead-{77}.drm", "certificate");
    ScopedEnvironment dataHome("XDG_DATA_HOME", folder.file("data"));
    std::string missing = folder.file("missing.doc");

    CliRun run = inspect({ "--owner", rights, other, text, missing }, folder);
    EXPECT_EQ(run.exitCode, 0);
    std::vector<std::string> lines = linesOf(run.output);
    ASSERT_EQ(lines.size(), 4u) << run.output;
    EXPECT_EQ(lines[0], "IRM\t" + rights + "\tteam-lead\tyes");
    EXPECT_EQ(lines[1], "IRM\t" + other + "\tstranger\tno");
    EXPECT_EQ(lines[2], "-\t" + text + "\t\tno");
    EXPECT_EQ(lines[3], "-\t" + missing + "\t\tno");
    EXPECT_NE(run.errors.find(missing), std::string::npos) << run.errors;

    CliRun plain = inspect({ rights }, folder);
    EXPECT_EQ(plain.output, "IRM\t" + rights + "\n");
    EXPECT_EQ(inspect({}, folder).exitCode, 2);
}
