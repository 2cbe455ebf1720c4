#include "tests/support/TestDesktop.h"

#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

using namespace std::chrono_literals;

const TestDesktop& TestDesktop::install(const Description& description)
{
    static const TestDesktop desktop(description);
    EXPECT_TRUE(desktop.description() == description)
        << "one test process has one desktop: describe it in one place";
    return desktop;
}

TestDesktop::TestDesktop(const Description& description)
    : m_description(description)
{
    setenv("HOME", home().c_str(), 1);
    setenv("XDG_DATA_HOME", dataHome().c_str(), 1);
    setenv("XDG_CONFIG_HOME", configHome().c_str(), 1);
    if (const char* dirs = std::getenv("XDG_DATA_DIRS"); !dirs || !*dirs)
        setenv("XDG_DATA_DIRS", "/usr/local/share:/usr/share", 1);
    // A desktop's own mimeapps list would otherwise come before ours.
    unsetenv("XDG_CURRENT_DESKTOP");
    writeMimeTypes();
    writeApplications();
}

void TestDesktop::writeMimeTypes() const
{
    std::string packages = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
    for (const MimeType& type : m_description.types)
        packages += "  <mime-type type=\"" + type.type + "\"><comment>" + type.type
            + "</comment><glob pattern=\"" + type.glob + "\"/></mime-type>\n";
    packages += "</mime-info>\n";
    m_folder.write(".local/share/mime/packages/pressling-tests.xml", packages);
    auto result = platform::ChildProcess::run({ "update-mime-database", dataHome() + "/mime" }, 60s);
    EXPECT_TRUE(result.succeeded()) << result.error << result.standardError;
}

void TestDesktop::writeApplications() const
{
    std::string defaults = "[Default Applications]\n";
    for (const Application& application : m_description.applications) {
        m_folder.write(".local/share/applications/" + application.id + ".desktop",
            "[Desktop Entry]\nType=Application\nName=" + application.id + "\nExec=" + application.exec
                + "\nMimeType=" + application.mimeType + ";\nNoDisplay=true\n"
                + (application.icon.empty() ? "" : "Icon=" + application.icon + "\n"));
        if (application.isDefault)
            defaults += application.mimeType + "=" + application.id + ".desktop;\n";
    }
    m_folder.write(".config/mimeapps.list", defaults);
}
