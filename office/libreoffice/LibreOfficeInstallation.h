#pragma once

#include "office/OfficeInstallation.h"

#include <string>

namespace office {

// Where the installed LibreOffice lives and what it can do, read from its files without
// starting it.
class LibreOfficeInstallation : public OfficeInstallation {
public:
    // The launcher script, which hands over to soffice.bin.
    static std::string launcherPath();
    static std::string programFolder();
    // The release ("7.4") and build ("40(Build:2)") a profile must record so that a start is
    // not taken for a first start; empty when unknown.
    static std::string productVersion();
    static std::string buildId();
    // True when the launcher exists and Writer has the Word 2007 import and export filter, so
    // that documents of the 2007 formats can be read and written.
    bool readsAndWritesOpenXml() const override;
};

}
