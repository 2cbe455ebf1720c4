#include "platform/ApplicationWindows.h"
#include "platform/ChildProcess.h"
#include "tests/platform/CommandOutput.h"
#include "tests/platform/X11TestClient.h"
#include "tests/platform/XvfbServer.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

using platform::ApplicationWindows;
using platform::ChildProcess;
using platform::OpenApplication;
using namespace std::chrono_literals;

namespace {

const std::vector<std::string> officeClasses { "libreoffice-writer", "libreoffice-calc",
    "libreoffice-impress" };

// WM_STATE as a window manager writes it: the state and the icon window.
constexpr uint32_t withdrawnState = 0;
constexpr uint32_t normalState = 1;
constexpr uint32_t iconicState = 3;

// WM_CLASS as programs set it: the instance name and the class name, each ended by a NUL.
std::string classOf(const std::string& instance, const std::string& windowClass)
{
    return instance + '\0' + windowClass + '\0';
}

// The titles listed, in order, so that a failure shows which window came or went.
std::vector<std::string> titlesOf(const std::optional<std::vector<OpenApplication>>& offices)
{
    std::vector<std::string> titles;
    for (const OpenApplication& office : offices.value_or(std::vector<OpenApplication> {}))
        titles.push_back(office.title);
    std::sort(titles.begin(), titles.end());
    return titles;
}

// A process number that no process has: that of a child that has ended and been reaped.
pid_t endedProcess()
{
    ChildProcess child;
    child.start({ "true" });
    pid_t pid = child.pid();
    child.waitFor(10s);
    return pid;
}

class ApplicationWindowsTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!m_server.running())
            GTEST_SKIP() << "no virtual X display: " << m_server.reason();
        m_client = std::make_unique<X11TestClient>(m_server.name());
        ASSERT_TRUE(m_client->connected());
    }

    std::optional<std::vector<OpenApplication>> listed()
    {
        m_client->sync();
        return ApplicationWindows(officeClasses).list(m_server.name().c_str());
    }

    // A window manager's frame with the client inside, given a state as a manager gives it: a
    // normal window is shown in its frame, a minimized or withdrawn one is not shown at all.
    // Levels above 1 put wrappers between frame and client, as some managers do.
    xcb_window_t framed(xcb_window_t client, uint32_t state, int levels = 1)
    {
        xcb_window_t frame = m_client->create();
        xcb_window_t parent = frame;
        for (int level = 1; level < levels; ++level) {
            xcb_window_t wrapper = m_client->create(parent);
            m_client->map(wrapper);
            parent = wrapper;
        }
        m_client->reparent(client, parent);
        m_client->setNumbers(client, "WM_STATE", m_client->atom("WM_STATE"), { state, 0 });
        if (state == normalState) {
            m_client->map(client);
            m_client->map(frame);
        }
        return frame;
    }

    XvfbServer m_server;
    std::unique_ptr<X11TestClient> m_client;
};

}

// Catches a class compared with regard to case, or only one of its two parts compared, a
// class that merely begins like an office's taken for it, and a title read from the wrong
// property or in the wrong character set.
TEST_F(ApplicationWindowsTest, ListsShownMainWindowsByEitherPartOfTheirClass)
{
    const uint32_t us = static_cast<uint32_t>(getpid());
    const std::string writerTitle
        = "Bericht \u00fcber Gr\u00f6\u00dfe \u2013 \u5831\u544a.odt - LibreOffice Writer";
    xcb_window_t writer = m_client->application(classOf("soffice", "LibreOffice-Writer"), writerTitle, us);
    m_client->setText(writer, "WM_NAME", "STRING", "not this one");
    m_client->map(writer);
    xcb_window_t calc = m_client->create();
    m_client->setText(calc, "WM_CLASS", "STRING", classOf("libreoffice-calc", "Soffice"));
    m_client->setText(calc, "WM_NAME", "STRING", "Caf\xe9.ods - LibreOffice Calc");
    m_client->setNumbers(calc, "_NET_WM_PID", XCB_ATOM_CARDINAL, { us });
    m_client->map(calc);
    m_client->map(m_client->application(classOf("LIBREOFFICE-IMPRESS", "LIBREOFFICE-IMPRESS"), "Talk", us));
    m_client->map(m_client->application(classOf("gedit", "Gedit"), "Notes", us));
    m_client->map(m_client->application(
        classOf("libreoffice-startcenter", "libreoffice-startcenter"), "LibreOffice", us));
    m_client->map(m_client->application(classOf("libreoffice-writer-x", ""), "Almost", us));

    auto offices = listed();
    ASSERT_TRUE(offices);
    EXPECT_EQ(titlesOf(offices),
        (std::vector<std::string> { writerTitle, "Caf\u00e9.ods - LibreOffice Calc", "Talk" }));
    for (const OpenApplication& office : *offices) {
        EXPECT_EQ(office.pid, getpid());
        EXPECT_EQ(office.account, commandOutput({ "id", "-un" }));
        EXPECT_EQ(office.domain, commandOutput({ "hostname" }));
        if (office.title == "Talk") {
            EXPECT_EQ(office.className, "libreoffice-impress");
        }
        if (office.title == writerTitle) {
            EXPECT_EQ(office.className, "libreoffice-writer");
        }
    }
}

// Catches a hidden window, a dialog that belongs to a main window, a menu placed over the others
// by its program, and a window inside another listed as office main windows.
TEST_F(ApplicationWindowsTest, LeavesOutHiddenOwnedAndPopUpWindows)
{
    const uint32_t us = static_cast<uint32_t>(getpid());
    const std::string writerClass("libreoffice-writer\0libreoffice-writer\0", 38);
    xcb_window_t main = m_client->application(writerClass, "Main", us);
    m_client->map(main);
    m_client->application(writerClass, "Hidden", us);
    xcb_window_t dialog = m_client->application(writerClass, "Dialog", us);
    m_client->setNumbers(dialog, "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW, { main });
    m_client->map(dialog);
    xcb_window_t menu = m_client->create(0, true);
    m_client->setText(menu, "WM_CLASS", "STRING", writerClass);
    m_client->setText(menu, "_NET_WM_NAME", "UTF8_STRING", "Menu");
    m_client->setNumbers(menu, "_NET_WM_PID", XCB_ATOM_CARDINAL, { us });
    m_client->map(menu);
    xcb_window_t inner = m_client->create(main);
    m_client->setText(inner, "WM_CLASS", "STRING", writerClass);
    m_client->setText(inner, "_NET_WM_NAME", "UTF8_STRING", "Inner");
    m_client->setNumbers(inner, "_NET_WM_PID", XCB_ATOM_CARDINAL, { us });
    m_client->map(inner);

    EXPECT_EQ(titlesOf(listed()), (std::vector<std::string> { "Main" }));
    m_client->unmap(main);
    auto none = listed();
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty()) << "a window that was hidden is still listed";
}

// Catches a window listed although its process cannot be looked at: one that gives no process,
// one whose process has ended, and one of a program on another host, whose process number
// names nothing here.
TEST_F(ApplicationWindowsTest, LeavesOutWindowsWhoseProcessCannotBeTold)
{
    const uint32_t us = static_cast<uint32_t>(getpid());
    const std::string calcClass("libreoffice-calc\0libreoffice-calc\0", 34);
    m_client->map(m_client->application(calcClass, "Ours", us));
    m_client->map(m_client->application(calcClass, "Ended", static_cast<uint32_t>(endedProcess())));
    xcb_window_t anonymous = m_client->create();
    m_client->setText(anonymous, "WM_CLASS", "STRING", calcClass);
    m_client->setText(anonymous, "_NET_WM_NAME", "UTF8_STRING", "No process");
    m_client->map(anonymous);
    xcb_window_t remote = m_client->application(calcClass, "Remote", us);
    m_client->setText(remote, "WM_CLIENT_MACHINE", "STRING", "elsewhere.invalid");
    m_client->map(remote);
    xcb_window_t local = m_client->application(calcClass, "Local", us);
    m_client->setText(local, "WM_CLIENT_MACHINE", "STRING", commandOutput({ "hostname" }));
    m_client->map(local);

    EXPECT_EQ(titlesOf(listed()), (std::vector<std::string> { "Local", "Ours" }));
}

// Catches a look at the top-level windows alone, which under a window manager are its frames,
// a client sought only one level down, and a minimized window taken for a hidden one.
TEST_F(ApplicationWindowsTest, FindsClientsInTheFramesOfAWindowManager)
{
    const uint32_t us = static_cast<uint32_t>(getpid());
    const std::string writerClass("libreoffice-writer\0libreoffice-writer\0", 38);
    framed(m_client->application(writerClass, "Framed", us), normalState);
    framed(m_client->application(writerClass, "Wrapped", us), normalState, 2);
    framed(m_client->application(writerClass, "Minimized", us), iconicState);
    framed(m_client->application(writerClass, "Withdrawn", us), withdrawnState);

    EXPECT_EQ(titlesOf(listed()), (std::vector<std::string> { "Framed", "Minimized", "Wrapped" }));
}

// Catches the window manager's list of clients ignored where it is kept, and believed after the
// manager has ended, when it misses every window opened since.
TEST_F(ApplicationWindowsTest, BelievesTheClientListOfARunningWindowManagerOnly)
{
    const uint32_t us = static_cast<uint32_t>(getpid());
    const std::string writerClass("libreoffice-writer\0libreoffice-writer\0", 38);
    xcb_window_t deep = m_client->application(writerClass, "Listed", us);
    framed(deep, normalState, 3);
    m_client->map(m_client->application(writerClass, "Unlisted", us));
    xcb_window_t manager = m_client->create();
    m_client->setNumbers(manager, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW, { manager });
    m_client->setNumbers(m_client->root(), "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW, { manager });
    m_client->setNumbers(m_client->root(), "_NET_CLIENT_LIST", XCB_ATOM_WINDOW, { deep });

    EXPECT_EQ(titlesOf(listed()), (std::vector<std::string> { "Listed" }));
    m_client->destroy(manager);
    EXPECT_EQ(titlesOf(listed()), (std::vector<std::string> { "Unlisted" }));
}

// Catches "none open" and "could not look" told apart wrongly: a display without an office
// window gives an empty list, a display that is gone or not named gives none, and DISPLAY is
// the display looked at when none is named.
TEST_F(ApplicationWindowsTest, EmptyListOnlyWhenTheDisplayWasSeen)
{
    m_client->map(m_client->application(classOf("gedit", "Gedit"), "Notes", static_cast<uint32_t>(getpid())));
    auto none = listed();
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->empty());
    m_client->map(
        m_client->application(classOf("libreoffice-writer", "x"), "Letter", static_cast<uint32_t>(getpid())));
    m_client->sync();
    {
        ScopedEnvironment display("DISPLAY", m_server.name());
        EXPECT_EQ(
            titlesOf(ApplicationWindows(officeClasses).list()), (std::vector<std::string> { "Letter" }));
    }
    m_server.stop();
    EXPECT_FALSE(ApplicationWindows(officeClasses).list(m_server.name().c_str()));
}

// Catches a listing that claims to have looked where no display is named.
TEST(ApplicationWindows, NoDisplayNamedIsNoLook)
{
    ScopedEnvironment display("DISPLAY", "");
    EXPECT_FALSE(ApplicationWindows(officeClasses).list());
    EXPECT_FALSE(ApplicationWindows(officeClasses).list(":not-a-display"));
}
