// The office's sandbox: its own network namespace and a read-only file system where the system
// allows them, the settings alone (said once) where it does not, and nothing at all where the
// sandbox is required and cannot be made.
#include "office/ComError.h"
#include "office/OfficeFormat.h"
#include "office/WordApplication.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "office/libreoffice/LibreOfficeProcess.h"
#include "tests/office/libreoffice/OfficeTestSupport.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TemporaryRegistry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace office;
using namespace officetest;

namespace {

std::string networkNamespace(const std::string& pid)
{
    std::error_code error;
    return std::filesystem::read_symlink("/proc/" + pid + "/ns/net", error).string();
}

// The mount options of the mount at point as the process sees it: "rw" or "ro" first.
std::string mountOptions(pid_t pid, const std::string& point)
{
    std::ifstream table("/proc/" + std::to_string(pid) + "/mountinfo");
    std::string line;
    std::string options;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string id, parent, device, root, mountPoint, mountOptions;
        fields >> id >> parent >> device >> root >> mountPoint >> mountOptions;
        if (mountPoint == point)
            options = mountOptions; // the last mount at a point is the one in view
    }
    return options;
}

platform::Sandbox::Support noNamespaces()
{
    return { false, "user namespaces are not available here (made so by the test)" };
}

}

// Catches an office that shares our network or may write where the user's files are (that it
// still publishes from its sandbox, the end-to-end test of pressling-cli shows in every format).
TEST(OfficeSandboxTest, OfficeHasANetworkOfItsOwnAndWritesOnlyItsOwnFolders)
{
    platform::Sandbox::Support support = platform::Sandbox::support();
    if (!support.available)
        GTEST_SKIP() << "no sandbox on this system: " << support.reason;
    LibreOfficeAutomation automation;
    auto word = startWord(automation);
    ASSERT_TRUE(word);
    EXPECT_TRUE(automation.officeSandboxed());
    const std::string profile = automation.runningProfileUrl().substr(7);
    std::vector<pid_t> offices = LibreOfficeProcess::officeProcessesOf(automation.runningProfileUrl());
    ASSERT_EQ(offices.size(), 1u);
    std::string office = std::to_string(offices.front());
    ASSERT_FALSE(networkNamespace(office).empty());
    EXPECT_NE(networkNamespace(office), networkNamespace("self"));
    EXPECT_EQ(mountOptions(offices.front(), "/").substr(0, 2), "ro");
    EXPECT_EQ(mountOptions(offices.front(), profile).substr(0, 2), "rw");
}

// Catches a silent downgrade where namespaces are forbidden, a notice repeated for every office
// or document, and a job that the missing sandbox stops.
TEST(OfficeSandboxTest, WithoutNamespacesItPublishesAndSaysSoOnce)
{
    LogCapture log;
    LibreOfficeAutomation automation;
    automation.setSandboxSupport(noNamespaces);
    std::vector<std::string> notices;
    automation.setNoticeReceiver([&](const std::string& text) { notices.push_back(text); });
    auto word = startWord(automation);
    ASSERT_TRUE(word);
    EXPECT_FALSE(automation.officeSandboxed());
    TemporaryFolder folder;
    for (const char* name : { "one.pdf", "two.pdf" }) {
        auto document = word->documents()->open(corpus("documents/word/par-known-paragraphs.docx"));
        ASSERT_TRUE(document);
        EXPECT_EQ(document->saveAs(folder.file(name), wordFormat::pdf), hresult::ok);
        document->close();
        // A fresh office for the second document: the notice is still not repeated.
        if (std::string(name) == "one.pdf")
            automation.killOffice();
    }
    EXPECT_EQ(automation.officeStartCount(), 2);
    const std::string expected = "publishing without a network sandbox: user namespaces are not available "
                                 "here (made so by the test)";
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices.front(), expected);
    EXPECT_EQ(log.count(expected), 1) << log.text();
    std::vector<pid_t> offices = LibreOfficeProcess::officeProcessesOf(automation.runningProfileUrl());
    ASSERT_EQ(offices.size(), 1u);
    EXPECT_EQ(networkNamespace(std::to_string(offices.front())), networkNamespace("self"));
}

// Catches a required sandbox that is quietly done without, and a refusal that does not say why.
TEST(OfficeSandboxTest, ARequiredSandboxThatCannotBeMadeStartsNoOffice)
{
    TemporaryRegistry registry;
    registry.writeUserFile(
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\Pressling\\Config]\n"
        "\"Sandbox\"=dword:00000001\n");
    LogCapture log;
    LibreOfficeAutomation automation;
    automation.setSandboxSupport(noNamespaces);
    std::vector<std::string> notices;
    automation.setNoticeReceiver([&](const std::string& text) { notices.push_back(text); });
    std::shared_ptr<WordApplication> word;
    EXPECT_EQ(automation.createApplication("Word.Application", word), hresult::serverExecutionFailure);
    EXPECT_FALSE(word);
    EXPECT_EQ(automation.officeStartCount(), 0);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices.front().find("Sandbox is 1"), std::string::npos) << notices.front();
    EXPECT_NE(notices.front().find("made so by the test"), std::string::npos) << notices.front();
    EXPECT_TRUE(log.contains(notices.front())) << log.text();
}
