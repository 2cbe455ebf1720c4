#include "office/libreoffice/RunningLibreOffices.h"
#include "tests/office/PretendOffice.h"
#include "tests/platform/X11TestClient.h"
#include "tests/platform/XvfbServer.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

using office::OfficeInstance;
using office::RunningLibreOffices;

namespace {

bool lists(const std::optional<std::vector<OfficeInstance>>& offices, pid_t pid, const std::string& title,
    const char* extension = nullptr)
{
    return offices && std::any_of(offices->begin(), offices->end(), [&](const OfficeInstance& office) {
        return office.pid == pid && (title.empty() || office.title == title)
            && (!extension || office.documentExtension == extension);
    });
}

}

// Catches the environment read wrongly: in a Wayland session the office processes are listed,
// and where no display can be reached and none is named the answer is that nobody could look.
TEST(RunningLibreOffices, SessionWithoutAnXDisplayListsOfficeProcessesOrNothing)
{
    PretendOffice office("--calc");
    ASSERT_TRUE(office.renamed());
    ScopedEnvironment noX("DISPLAY", "");
    {
        ScopedEnvironment session("XDG_SESSION_TYPE", "wayland");
        ScopedEnvironment wayland("WAYLAND_DISPLAY", "");
        EXPECT_TRUE(lists(RunningLibreOffices::list(), office.pid(), ""));
    }
    {
        ScopedEnvironment session("XDG_SESSION_TYPE", "");
        ScopedEnvironment wayland("WAYLAND_DISPLAY", "wayland-0");
        EXPECT_TRUE(lists(RunningLibreOffices::list(), office.pid(), ""));
    }
    ScopedEnvironment session("XDG_SESSION_TYPE", "");
    ScopedEnvironment wayland("WAYLAND_DISPLAY", "");
    EXPECT_FALSE(RunningLibreOffices::list());
}

// Catches an X session answered from the process table (the office's window is listed, an
// office process that shows no window there is not), a Wayland session answered from the X
// display that it offers older programs, where a Wayland office shows nothing, and a window
// whose class is not turned into the document extension that gives its row an icon.
TEST(RunningLibreOffices, XSessionListsWindowsAndWaylandSessionProcessesEvenWithAnXDisplay)
{
    XvfbServer server;
    if (!server.running())
        GTEST_SKIP() << "no virtual X display: " << server.reason();
    X11TestClient client(server.name());
    ASSERT_TRUE(client.connected());
    const std::string writerClass = std::string("libreoffice-writer") + '\0' + "libreoffice-writer" + '\0';
    client.map(
        client.application(writerClass, "Letter - LibreOffice Writer", static_cast<uint32_t>(getpid())));
    client.sync();
    PretendOffice office("--writer");
    ASSERT_TRUE(office.renamed());
    ScopedEnvironment display("DISPLAY", server.name());
    ScopedEnvironment wayland("WAYLAND_DISPLAY", "wayland-0");
    {
        ScopedEnvironment session("XDG_SESSION_TYPE", "x11");
        auto offices = RunningLibreOffices::list();
        EXPECT_TRUE(lists(offices, getpid(), "Letter - LibreOffice Writer", ".doc"));
        EXPECT_FALSE(lists(offices, office.pid(), ""));
    }
    ScopedEnvironment session("XDG_SESSION_TYPE", "wayland");
    auto offices = RunningLibreOffices::list();
    EXPECT_FALSE(lists(offices, getpid(), ""));
    EXPECT_TRUE(lists(offices, office.pid(), ""));
}
