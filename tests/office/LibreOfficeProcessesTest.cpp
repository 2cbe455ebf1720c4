#include "office/libreoffice/LibreOfficeCommandLine.h"
#include "platform/ApplicationProcesses.h"
#include "platform/ChildProcess.h"
#include "tests/office/PretendOffice.h"
#include "tests/platform/CommandOutput.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using office::LibreOfficeCommandLine;
using platform::ApplicationProcesses;
using platform::ChildProcess;
using platform::OpenApplication;
namespace fs = std::filesystem;

namespace {

const OpenApplication* findPid(const std::vector<OpenApplication>& offices, pid_t pid)
{
    auto found
        = std::find_if(offices.begin(), offices.end(), [&](const auto& office) { return office.pid == pid; });
    return found == offices.end() ? nullptr : &*found;
}

// A process table of crafted entries: a folder per process, owned by its user, with its
// command line.
class CraftedProcessTable {
public:
    void add(pid_t pid, const std::vector<std::string>& arguments, uid_t owner = 0)
    {
        std::string commandLine;
        for (const std::string& argument : arguments)
            commandLine += argument + '\0';
        addRaw(pid, commandLine, owner);
    }
    // The command line as the kernel gives it: arguments ended by NUL bytes.
    void addRaw(pid_t pid, const std::string& commandLine, uid_t owner = 0)
    {
        std::string entry = std::to_string(pid);
        m_folder.write(entry + "/cmdline", commandLine);
        if (::chown(m_folder.file(entry).c_str(), owner, owner) != 0)
            m_chownFailed = true;
    }
    std::string root() const { return m_folder.path(); }
    bool chownFailed() const { return m_chownFailed; }

private:
    TemporaryFolder m_folder;
    bool m_chownFailed = false;
};

// The LibreOffice processes of a process table, as the start-up check looks for them in a
// Wayland session.
std::vector<OpenApplication> shownOffices(const std::string& root = "/proc")
{
    return ApplicationProcesses(LibreOfficeCommandLine::shownTitle, root).list();
}

std::vector<OpenApplication> sortedByPid(std::vector<OpenApplication> offices)
{
    std::sort(offices.begin(), offices.end(), [](const auto& a, const auto& b) { return a.pid < b.pid; });
    return offices;
}

}

// Catches an office process missed when it runs with a display, and a headless or invisible one
// (Pressling's own offices are started so) that is listed although it shows the user nothing.
TEST(LibreOfficeProcesses, ListsRealOfficesWithADisplayAndNeverHeadlessOnes)
{
    PretendOffice shown("--writer");
    PretendOffice headless("--headless --norestore");
    PretendOffice invisible("-invisible");
    ChildProcess other;
    ChildProcess::Options quiet;
    quiet.standardOutput.mode = ChildProcess::Output::Discard;
    quiet.standardError.mode = ChildProcess::Output::Discard;
    ASSERT_TRUE(other.start({ "sleep", "600" }, quiet));
    ASSERT_TRUE(shown.renamed());
    ASSERT_TRUE(headless.renamed());
    ASSERT_TRUE(invisible.renamed());

    std::vector<OpenApplication> offices = shownOffices();
    const OpenApplication* office = findPid(offices, shown.pid());
    ASSERT_NE(office, nullptr) << "the office with a display is missing";
    EXPECT_EQ(office->account, commandOutput({ "id", "-un" }));
    EXPECT_EQ(office->domain, commandOutput({ "hostname" }));
    EXPECT_EQ(office->className, "soffice.bin");
    // The command bash runs counts as the document.
    EXPECT_EQ(office->title, std::string(PretendOffice::sleepCommand) + " - LibreOffice Writer");
    EXPECT_EQ(findPid(offices, headless.pid()), nullptr);
    EXPECT_EQ(findPid(offices, invisible.pid()), nullptr);
    EXPECT_EQ(findPid(offices, other.pid()), nullptr);
}

// Catches processes of other users left out, an owner without a name given one anyway, entries
// that are no process (or a kernel thread without a command line) taken for one, and a program
// merely named like the office taken for it.
TEST(LibreOfficeProcesses, CraftedTableGivesOneRowPerShownOfficeOfAnyNamedUser)
{
    CraftedProcessTable table;
    table.add(101, { "/usr/lib/libreoffice/program/soffice.bin", "--calc", "/home/a/Budget.ods" });
    table.add(102, { "soffice.bin", "--headless", "--convert-to", "pdf", "x.doc" });
    table.add(103, { "/opt/libreoffice/program/soffice", "-o", "file:///home/b/My%20Talk.odp" }, 65534);
    table.add(104, { "/usr/lib/libreoffice/program/oosplash", "--writer" });
    table.add(105, { "soffice.bin" }, 3999999);
    table.addRaw(106, "");
    table.add(107, { "soffice.binary" });
    // The last argument's NUL may be missing.
    table.addRaw(108, "soffice.bin");
    table.add(109, { "soffice.bin", "--writer" });
    table.add(110, { "soffice.bin", "--writer" });
    fs::remove(table.root() + "/110/cmdline");
    fs::create_directories(table.root() + "/self");
    fs::create_directories(table.root() + "/0");
    if (table.chownFailed())
        GTEST_SKIP() << "only root can give the crafted entries other owners";

    std::vector<OpenApplication> offices = sortedByPid(shownOffices(table.root()));
    const std::string root = commandOutput({ "id", "-un", "0" });
    const std::string nobody = commandOutput({ "id", "-un", "65534" });
    ASSERT_EQ(offices.size(), 4u);
    EXPECT_EQ(offices[0].pid, 101);
    EXPECT_EQ(offices[0].title, "Budget.ods - LibreOffice Calc");
    EXPECT_EQ(offices[0].account, root);
    EXPECT_EQ(offices[1].pid, 103);
    EXPECT_EQ(offices[1].title, "My Talk.odp - LibreOffice");
    EXPECT_EQ(offices[1].className, "soffice");
    EXPECT_EQ(offices[1].account, nobody);
    EXPECT_EQ(offices[2].pid, 108);
    EXPECT_EQ(offices[2].title, "LibreOffice");
    EXPECT_EQ(offices[3].pid, 109);
    EXPECT_EQ(offices[3].domain, commandOutput({ "hostname" }));
    EXPECT_TRUE(shownOffices(table.root() + "/missing").empty());
}

// Catches an option taken for a document, the value of an option taken for one, the module
// missed when it follows the document, and a file URL shown with its escapes.
TEST(LibreOfficeProcesses, TitleNamesTheDocumentAndTheModule)
{
    using Arguments = std::vector<std::string>;
    EXPECT_EQ(LibreOfficeCommandLine::titleFor(Arguments { "soffice.bin" }), "LibreOffice");
    EXPECT_EQ(LibreOfficeCommandLine::titleFor(Arguments { "soffice.bin", "--norestore", "--impress" }),
        "LibreOffice Impress");
    EXPECT_EQ(LibreOfficeCommandLine::titleFor(
                  Arguments { "soffice.bin", "--pt", "Office Printer", "/srv/a b.odt" }),
        "a b.odt - LibreOffice");
    EXPECT_EQ(LibreOfficeCommandLine::titleFor(
                  Arguments { "soffice.bin", "--display", ":1", "report.doc", "--writer", "second.doc" }),
        "report.doc - LibreOffice Writer");
    EXPECT_EQ(LibreOfficeCommandLine::titleFor(
                  Arguments { "soffice.bin", "--accept=pipe,name=x;urp;", "notes.odt" }),
        "notes.odt - LibreOffice");
    EXPECT_EQ(LibreOfficeCommandLine::titleFor(
                  Arguments { "soffice.bin", "-calc", "file:///tmp/%E5%A0%B1%E5%91%8A%zz.ods" }),
        "\u5831\u544a%zz.ods - LibreOffice Calc");
}

// Catches a hidden office recognised by one spelling of its option only, or only when the option
// comes first, and another program recognised by a name that merely begins like the office's.
TEST(LibreOfficeProcesses, ShownOfficeIsRecognisedByProgramAndOptions)
{
    using Arguments = std::vector<std::string>;
    EXPECT_TRUE(
        LibreOfficeCommandLine::isShownOffice(Arguments { "/usr/lib/libreoffice/program/soffice.bin" }));
    EXPECT_TRUE(LibreOfficeCommandLine::isShownOffice(Arguments { "soffice", "--headlessly.odt" }));
    EXPECT_FALSE(LibreOfficeCommandLine::isShownOffice(Arguments { "soffice.bin", "a.odt", "-headless" }));
    EXPECT_FALSE(LibreOfficeCommandLine::isShownOffice(Arguments { "soffice.bin", "--invisible" }));
    EXPECT_FALSE(LibreOfficeCommandLine::isShownOffice(Arguments { "soffice.bin.sh" }));
    EXPECT_FALSE(LibreOfficeCommandLine::isShownOffice(Arguments { "libreoffice", "--writer" }));
    EXPECT_FALSE(LibreOfficeCommandLine::isShownOffice(Arguments {}));
}
