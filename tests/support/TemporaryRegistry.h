#pragma once

#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"

#include <string>

// Points every registry root at files in a fresh temporary folder for the life of the object, so
// that a test never reads or writes the user's own settings.
class TemporaryRegistry {
public:
    TemporaryRegistry();

    const std::string& folder() const { return m_folder.path(); }
    std::string userFile() const { return m_folder.file("user.reg"); }
    std::string machineFile() const { return m_folder.file("machine.reg"); }
    std::string classesFile() const { return m_folder.file("classes.reg"); }
    // Writes a REGEDIT4 text as the current user's file.
    void writeUserFile(const std::string& text) const { m_folder.write("user.reg", text); }
    // Writes keys (REGEDIT4 text without its header line) as the classes file.
    void writeClassesFile(const std::string& keys) const { m_folder.write("classes.reg", "REGEDIT4\n\n" + keys); }
    std::string readUserFile() const;

private:
    TemporaryFolder m_folder;
    ScopedEnvironment m_environment;
};
