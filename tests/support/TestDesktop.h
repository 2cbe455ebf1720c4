#pragma once

#include "tests/support/TemporaryFolder.h"

#include <string>
#include <vector>

// A desktop of the tests' own in a temporary folder: HOME, XDG_DATA_HOME and XDG_CONFIG_HOME
// point into it, XDG_DATA_DIRS still shows the system's MIME types and icons but none of its
// applications, and the described MIME types and applications are registered there.
//
// GIO reads these folders once per process and keeps them, so a process has one test desktop,
// laid out at the first call, which must come before anything asks GIO; every later call in the
// same process must describe the same desktop.
class TestDesktop {
public:
    struct MimeType {
        std::string type;
        // The file name pattern of the type, "*.ext".
        std::string glob;
        bool operator==(const MimeType&) const = default;
    };
    struct Application {
        // The desktop file's name without ".desktop".
        std::string id;
        std::string exec;
        // The type the application opens, and whether mimeapps.list makes it the default for it.
        std::string mimeType;
        bool isDefault = true;
        // The desktop file's Icon line: a theme icon name or an image file path; none when empty.
        std::string icon {};
        bool operator==(const Application&) const = default;
    };
    struct Description {
        std::vector<MimeType> types;
        std::vector<Application> applications;
        bool operator==(const Description&) const = default;
    };

    static const TestDesktop& install(const Description& description);

    TestDesktop(const TestDesktop&) = delete;
    TestDesktop& operator=(const TestDesktop&) = delete;

    const std::string& home() const { return m_folder.path(); }
    std::string dataHome() const { return home() + "/.local/share"; }
    std::string configHome() const { return home() + "/.config"; }
    const Description& description() const { return m_description; }

private:
    explicit TestDesktop(const Description& description);
    void showOnlySystemTypesAndIcons() const;
    void writeMimeTypes() const;
    void writeApplications() const;

    TemporaryFolder m_folder;
    Description m_description;
};
