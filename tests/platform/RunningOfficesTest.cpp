#include "platform/RunningOffices.h"
#include "tests/platform/PretendOffice.h"
#include "tests/platform/X11TestClient.h"
#include "tests/platform/XvfbServer.h"
#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

using platform::OfficeInstance;
using platform::RunningOffices;

namespace {

const std::vector<std::string> officeClasses { "libreoffice-writer", "libreoffice-calc",
    "libreoffice-impress" };

bool lists(const std::optional<std::vector<OfficeInstance>>& offices, pid_t pid, const std::string& title)
{
    return offices && std::any_of(offices->begin(), offices->end(), [&](const OfficeInstance& office) {
        return office.pid == pid && (title.empty() || office.title == title);
    });
}

}

// Catches the environment read wrongly: in a Wayland session the office processes are listed,
// and where no display can be reached and none is named the answer is that nobody could look.
TEST(RunningOffices, SessionWithoutAnXDisplayListsOfficeProcessesOrNothing)
{
    PretendOffice office("--calc");
    ASSERT_TRUE(office.renamed());
    ScopedEnvironment noX("DISPLAY", "");
    {
        ScopedEnvironment session("XDG_SESSION_TYPE", "wayland");
        ScopedEnvironment wayland("WAYLAND_DISPLAY", "");
        EXPECT_TRUE(lists(RunningOffices::list(officeClasses), office.pid(), ""));
    }
    {
        ScopedEnvironment session("XDG_SESSION_TYPE", "");
        ScopedEnvironment wayland("WAYLAND_DISPLAY", "wayland-0");
        EXPECT_TRUE(lists(RunningOffices::list(officeClasses), office.pid(), ""));
    }
    ScopedEnvironment session("XDG_SESSION_TYPE", "");
    ScopedEnvironment wayland("WAYLAND_DISPLAY", "");
    EXPECT_FALSE(RunningOffices::list(officeClasses));
}

// Catches an X session answered from the process table (the office's window is listed, an
// office process that shows no window there is not), and a Wayland session answered from the X
// display that it offers older programs, where a Wayland office shows nothing.
TEST(RunningOffices, XSessionListsWindowsAndWaylandSessionProcessesEvenWithAnXDisplay)
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
        auto offices = RunningOffices::list(officeClasses);
        EXPECT_TRUE(lists(offices, getpid(), "Letter - LibreOffice Writer"));
        EXPECT_FALSE(lists(offices, office.pid(), ""));
    }
    ScopedEnvironment session("XDG_SESSION_TYPE", "wayland");
    auto offices = RunningOffices::list(officeClasses);
    EXPECT_FALSE(lists(offices, getpid(), ""));
    EXPECT_TRUE(lists(offices, office.pid(), ""));
}
