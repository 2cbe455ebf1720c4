#include "tests/support/TestDesktop.h"

#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

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
    showOnlySystemTypesAndIcons();
    // A desktop's own mimeapps list would otherwise come before ours.
    unsetenv("XDG_CURRENT_DESKTOP");
    writeMimeTypes();
    writeApplications();
}

// The system's data folders stay visible for their MIME types and icons only: the applications
// installed there (and the defaults that make them open a type) are not part of the test desktop.
// Otherwise a test that opens a ".doc" would start the machine's office for real, and what a test
// sees would depend on what the machine has installed.
void TestDesktop::showOnlySystemTypesAndIcons() const
{
    const char* given = std::getenv("XDG_DATA_DIRS");
    std::string dirs = given && *given ? given : "/usr/local/share:/usr/share";
    std::string views;
    size_t number = 0;
    for (size_t start = 0; start <= dirs.size();) {
        size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string dir = dirs.substr(start, end - start);
        start = end + 1;
        if (dir.empty())
            continue;
        const std::string view = home() + "/.system-data-" + std::to_string(number++);
        fs::create_directories(view);
        for (const char* part : { "mime", "icons", "pixmaps" }) {
            std::error_code missing;
            if (fs::exists(dir + "/" + part, missing))
                fs::create_directory_symlink(dir + "/" + part, view + "/" + part);
        }
        views += (views.empty() ? "" : ":") + view;
    }
    setenv("XDG_DATA_DIRS", views.c_str(), 1);
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
