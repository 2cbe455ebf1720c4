#include "platform/ChildProcess.h"
#include "tests/classify/ClassifyTestSupport.h"
#include "tests/support/CompoundFileWriter.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/ZipBuilder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
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

// Catches inspection that waits for ever on what is not a regular file (an ordinary open of a
// FIFO waits for a writer, /dev/zero never ends) or reads it as a document: a FIFO, a link to a
// device and a folder answer "not protected" for every kind of test, while a link to a real
// document is read through, small or large. The command runs under a time limit, so a hang
// fails the test instead of stalling it.
TEST(InspectCommand, WhatIsNotARegularFileIsNotProtectedAtOnce)
{
    TemporaryFolder folder;
    std::vector<std::string> notFiles;
    for (const char* suffix : { "doc", "xls", "ppt", "docx", "xps", "pdf", "zip" }) {
        std::string fifo = folder.file(std::string("pipe.") + suffix);
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        std::string device = folder.file(std::string("zero.") + suffix);
        ASSERT_EQ(::symlink("/dev/zero", device.c_str()), 0);
        std::string directory = folder.file(std::string("folder.") + suffix);
        ASSERT_TRUE(std::filesystem::create_directory(directory));
        notFiles.insert(notFiles.end(), { fifo, device, directory });
    }
    std::string word = folder.file("real.doc");
    CompoundFileWriter().stream("WordDocument", classifytest::wordFib(0xA5EC, 0x01)).write(word);
    // Past the size up to which a compound file is read into memory, so it is read in place.
    std::string workbook = folder.file("large.xls");
    CompoundFileWriter()
        .stream("Workbook", classifytest::excelRecords(0x2F) + std::string(1 << 20, '\0'))
        .write(workbook);
    std::string archive
        = folder.write("real.zip", ZipBuilder().add("a.txt", "secret", ZipBuilder::Encrypted).bytes());
    std::string pdf = folder.write("real.pdf", "%PDF-1.4\ntrailer << /Encrypt 5 0 R >>\n%%EOF\n");
    std::vector<std::string> links;
    for (const std::string& target : { word, workbook, archive, pdf }) {
        std::string link = folder.file("link-" + std::filesystem::path(target).filename().string());
        ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
        links.push_back(link);
    }

    std::vector<std::string> command = { PRESSLING_CLI_PATH, "inspect", "--owner" };
    command.insert(command.end(), notFiles.begin(), notFiles.end());
    command.insert(command.end(), links.begin(), links.end());
    auto run = platform::ChildProcess::run(command, std::chrono::seconds(60));
    ASSERT_EQ(run.status.outcome, platform::ChildProcess::Outcome::Exited) << run.standardOutput;
    EXPECT_EQ(run.status.exitCode, 0);
    // Standard output holds the rows alone; the traces of the PDF and zip tests go elsewhere.
    std::vector<std::string> verdicts = linesOf(run.standardOutput);
    std::vector<std::string> expected;
    for (const std::string& path : notFiles)
        expected.push_back("-\t" + path + "\t\tno");
    for (const std::string& path : links)
        expected.push_back("PWD\t" + path + "\t\tno");
    EXPECT_EQ(verdicts, expected);
}
