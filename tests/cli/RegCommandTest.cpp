#include "platform/RegistryStore.h"

#include "tests/cli/CliTestSupport.h"
#include "tests/support/ReadFile.h"
#include "tests/support/TemporaryRegistry.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct Result {
    int exitCode = -1;
    std::string output;
    std::string errors;
};

std::string shellQuoted(const std::string& word)
{
    std::string text = "'";
    for (char character : word)
        text += character == '\'' ? std::string("'\\''") : std::string(1, character);
    return text + "'";
}

// Runs the built pressling-cli as its own process with input as its standard input (none: the
// end of input at once), in the registry of the calling test.
Result runCli(const TemporaryRegistry& registry, const std::vector<std::string>& arguments,
    const std::string& input = "")
{
    std::string command = shellQuoted(cliPath());
    for (const std::string& argument : arguments)
        command += " " + shellQuoted(argument);
    std::string in = registry.folder() + "/stdin", out = registry.folder() + "/stdout",
                err = registry.folder() + "/stderr";
    std::ofstream(in) << input;
    command += " <" + shellQuoted(in) + " >" + shellQuoted(out) + " 2>" + shellQuoted(err);
    int status = std::system(command.c_str());
    Result result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.output = readFile(out);
    result.errors = readFile(err);
    return result;
}

const std::string configKey = "HKCU\\SOFTWARE\\Tarnwick\\Application\\Pressling\\Config";
const char* const notFound = "ERROR: The system was unable to find the specified registry key or value.\n";

}

// The round trip a user or a script makes to set the macro security level: add, query, and a
// file that stays readable REGEDIT4 text.
TEST(RegCommand, AddThenQueryShowsTheDwordAndWritesRegedit4)
{
    TemporaryRegistry registry;
    Result added = runCli(registry,
        { "reg", "add", configKey, "/v", "MacroSecurityLevel", "/t", "REG_DWORD", "/d", "2", "/f" });
    EXPECT_EQ(added.exitCode, 0) << added.errors;
    EXPECT_EQ(added.output, "The operation completed successfully.\n");

    Result queried = runCli(registry, { "reg", "query", configKey });
    EXPECT_EQ(queried.exitCode, 0) << queried.errors;
    EXPECT_EQ(queried.output,
        "\nHKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\Pressling\\Config\n"
        "    MacroSecurityLevel    REG_DWORD    0x2\n\n");
    EXPECT_EQ(registry.readUserFile(),
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE]\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick]\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application]\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\Pressling]\n\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\Pressling\\Config]\n"
        "\"MacroSecurityLevel\"=dword:00000002\n");
}

TEST(RegCommand, QueryListsDefaultValueStringsAndSubkeys)
{
    TemporaryRegistry registry;
    ASSERT_EQ(
        runCli(registry, { "reg", "add", "HKEY_LOCAL_MACHINE\\Software\\T", "/ve", "/d", "top" }).exitCode,
        0);
    ASSERT_EQ(
        runCli(registry,
            { "reg", "add", "HKLM\\Software\\T", "/v", "Path", "/t", "reg_expand_sz", "/d", "%HOME%\\x" })
            .exitCode,
        0);
    ASSERT_EQ(runCli(registry, { "reg", "add", "HKLM\\Software\\T\\Sub" }).exitCode, 0);
    Result queried = runCli(registry, { "reg", "query", "hklm\\software\\t\\" });
    EXPECT_EQ(queried.exitCode, 0) << queried.errors;
    EXPECT_EQ(queried.output,
        "\nHKEY_LOCAL_MACHINE\\software\\t\n"
        "    (Default)    REG_SZ    top\n"
        "    Path    REG_EXPAND_SZ    %HOME%\\x\n\n"
        "HKEY_LOCAL_MACHINE\\software\\t\\Sub\n\n");
    Result one = runCli(registry, { "reg", "query", "HKLM\\Software\\T", "/v", "PATH" });
    EXPECT_EQ(one.output, "\nHKEY_LOCAL_MACHINE\\Software\\T\n    Path    REG_EXPAND_SZ    %HOME%\\x\n\n");
    Result tree = runCli(registry, { "reg", "query", "HKLM\\Software", "/s" });
    EXPECT_NE(tree.output.find("\nHKEY_LOCAL_MACHINE\\Software\\T\\Sub\n"), std::string::npos) << tree.output;
    EXPECT_NE(tree.output.find("End of search: 5 match(es) found.\n"), std::string::npos) << tree.output;
}

// Without /f an existing value is only replaced after a Yes; no answer at all means No.
TEST(RegCommand, AddAsksBeforeOverwriting)
{
    TemporaryRegistry registry;
    ASSERT_EQ(runCli(registry, { "reg", "add", configKey, "/v", "InitialFolder", "/d", "/old" }).exitCode, 0);
    Result refused = runCli(registry, { "reg", "add", configKey, "/v", "InitialFolder", "/d", "/new" });
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find("Value InitialFolder exists, overwrite(Yes/No)?"), std::string::npos)
        << refused.output;
    EXPECT_NE(registry.readUserFile().find("\"InitialFolder\"=\"/old\""), std::string::npos);
    Result no = runCli(registry, { "reg", "add", configKey, "/v", "InitialFolder", "/d", "/new" }, "no\n");
    EXPECT_EQ(no.exitCode, 1);
    Result yes = runCli(registry, { "reg", "add", configKey, "/v", "InitialFolder", "/d", "/new" }, "Yes\n");
    EXPECT_EQ(yes.exitCode, 0) << yes.errors;
    EXPECT_NE(registry.readUserFile().find("\"InitialFolder\"=\"/new\""), std::string::npos);
}

TEST(RegCommand, DeleteValuesAndKeys)
{
    TemporaryRegistry registry;
    ASSERT_EQ(runCli(registry, { "reg", "add", "HKCU\\K\\Sub", "/v", "A", "/d", "1" }).exitCode, 0);
    ASSERT_EQ(runCli(registry, { "reg", "add", "HKCU\\K\\Sub", "/v", "B", "/d", "2" }).exitCode, 0);
    Result missing = runCli(registry, { "reg", "delete", "HKCU\\K\\Sub", "/v", "C", "/f" });
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.errors, notFound);
    Result value = runCli(registry, { "reg", "delete", "HKCU\\K\\Sub", "/v", "a", "/f" });
    EXPECT_EQ(value.exitCode, 0) << value.errors;
    EXPECT_EQ(value.output, "The operation completed successfully.\n");
    EXPECT_EQ(registry.readUserFile().find("\"A\"="), std::string::npos);
    Result unconfirmed = runCli(registry, { "reg", "delete", "HKCU\\K" });
    EXPECT_EQ(unconfirmed.exitCode, 1);
    EXPECT_NE(registry.readUserFile().find("\"B\"="), std::string::npos) << "deleted without a Yes";
    EXPECT_EQ(runCli(registry, { "reg", "delete", "HKCU\\K\\Sub", "/va", "/f" }).exitCode, 0);
    EXPECT_EQ(registry.readUserFile().find("\"B\"="), std::string::npos);
    Result key = runCli(registry, { "reg", "delete", "HKCU\\K" }, "y\n");
    EXPECT_EQ(key.exitCode, 0) << key.errors;
    Result gone = runCli(registry, { "reg", "query", "HKCU\\K\\Sub" });
    EXPECT_EQ(gone.exitCode, 1);
    EXPECT_EQ(gone.errors, notFound);
    EXPECT_EQ(gone.output, "");
}

// A number that does not fit 32 bits must be refused, not stored cut down to something else.
TEST(RegCommand, DwordDataMustBeA32BitNumber)
{
    TemporaryRegistry registry;
    for (const char* bad : { "4294967296", "-1", "0x100000000", "12abc", "0x", "" }) {
        Result result
            = runCli(registry, { "reg", "add", "HKCU\\K", "/v", "N", "/t", "REG_DWORD", "/d", bad, "/f" });
        EXPECT_EQ(result.exitCode, 1) << bad;
        EXPECT_NE(result.errors.find("Invalid REG_DWORD data"), std::string::npos)
            << bad << ": " << result.errors;
    }
    EXPECT_EQ(registry.readUserFile(), "") << "a refused add must not write";
    ASSERT_EQ(
        runCli(registry, { "reg", "add", "HKCU\\K", "/v", "N", "/t", "REG_DWORD", "/d", "0xFFFFFFFF", "/f" })
            .exitCode,
        0);
    ASSERT_EQ(
        runCli(registry, { "reg", "add", "HKCU\\K", "/v", "M", "/t", "REG_DWORD", "/d", "4294967295", "/f" })
            .exitCode,
        0);
    EXPECT_NE(
        registry.readUserFile().find("\"N\"=dword:ffffffff\n\"M\"=dword:ffffffff\n"), std::string::npos);
}

TEST(RegCommand, UsageErrorsAndBadRootsHaveTheirExitCodes)
{
    TemporaryRegistry registry;
    const std::vector<std::vector<std::string>> usage = {
        { "reg" },
        { "reg", "copy", "HKCU\\K" },
        { "reg", "query" },
        { "reg", "query", "HKCU\\K", "/v" },
        { "reg", "query", "HKCU\\K", "/v", "A", "/ve" },
        { "reg", "query", "HKCU\\K", "/f" },
        { "reg", "add", "HKCU\\K", "/d", "x" },
        { "reg", "delete", "HKCU\\K", "/s" },
        { "reg", "add", "HKCU\\K", "extra" },
    };
    for (const auto& arguments : usage) {
        Result result = runCli(registry, arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.size();
        EXPECT_NE(result.errors.find("Usage: pressling-cli reg"), std::string::npos);
    }
    Result root = runCli(registry, { "reg", "query", "HKXX\\K" });
    EXPECT_EQ(root.exitCode, 1);
    EXPECT_NE(root.errors.find("Invalid key name"), std::string::npos) << root.errors;
    Result type = runCli(registry, { "reg", "add", "HKCU\\K", "/v", "A", "/t", "REG_BINARY", "/d", "00" });
    EXPECT_EQ(type.exitCode, 1);
    Result help = runCli(registry, { "reg", "--help" });
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("/ve"), std::string::npos);
}

// A machine file that cannot be written (a system folder for a normal user) is a failure with a
// message, never a reported success.
TEST(RegCommand, UnwritableStoreIsAFailure)
{
    TemporaryRegistry registry;
    std::ofstream(registry.folder() + "/blocker") << "a file where a folder should be";
    ScopedEnvironment elsewhere("PRESSLING_REGISTRY_DIR", registry.folder() + "/blocker/sub");
    Result result = runCli(registry, { "reg", "add", "HKLM\\K", "/v", "A", "/d", "x", "/f" });
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errors.find("could not be written"), std::string::npos) << result.errors;
}

// A damaged user file reads as empty; the tool must say so rather than let "not found" pass for
// the answer, and a change must keep the old file.
TEST(RegCommand, WarnsAboutADamagedFileAndKeepsIt)
{
    TemporaryRegistry registry;
    registry.writeUserFile("REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"A\"=\"unterminated\n");
    Result query = runCli(registry, { "reg", "query", "HKCU\\K" });
    EXPECT_EQ(query.exitCode, 1);
    EXPECT_NE(query.errors.find("is not a valid REGEDIT4 file"), std::string::npos) << query.errors;
    Result add = runCli(registry, { "reg", "add", "HKCU\\K", "/v", "A", "/d", "fixed", "/f" });
    EXPECT_EQ(add.exitCode, 0) << add.errors;
    bool kept = false;
    for (const auto& entry : std::filesystem::directory_iterator(registry.folder()))
        kept = kept || entry.path().filename().string().rfind("user.reg.corrupt-", 0) == 0;
    EXPECT_TRUE(kept);
    Result again = runCli(registry, { "reg", "query", "HKCU\\K", "/v", "A" });
    EXPECT_EQ(again.errors, "");
    EXPECT_NE(again.output.find("    A    REG_SZ    fixed\n"), std::string::npos) << again.output;
}
