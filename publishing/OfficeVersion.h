#pragma once

#include "foundation/Object.h"
#include "office/OfficeInstallation.h"

#include <cstdint>
#include <memory>

// Which Word the machine has, read from the registry without starting any office application.
// Where no Word is registered, the installed office suite that the program has named, when it
// reads and writes the Office 2007 formats, stands in for it as version 16.
class OfficeVersion : public Object {
public:
    // The highest major version with both its install root and its user key, or -1. Scans
    // again on every call.
    int32_t getWordVersion();
    bool isOfficeWord12ConverterInstalled();
    // Version 12 or later, or 11 with the Word 12 converters; remembered once known.
    bool isOfficeWord12Convertible();

    // Forgets the remembered answer, as a fresh start of the program would.
    static void resetCache();

    // The office suite that stands in for Word, named once by the program as it starts, before
    // any job runs; without one, only the registry counts.
    static void setInstalledOffice(std::shared_ptr<const office::OfficeInstallation> installation);
};
