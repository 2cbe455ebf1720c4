#pragma once

namespace office {

// What the installed office suite can do, read from its files without starting it. The
// registry scan for Word asks it when the registry names no Word.
class OfficeInstallation {
public:
    virtual ~OfficeInstallation() = default;

    // True when the suite is installed and reads and writes the Word 2007 formats.
    virtual bool readsAndWritesOpenXml() const = 0;
};

}
