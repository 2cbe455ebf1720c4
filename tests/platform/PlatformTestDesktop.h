#pragma once

#include "tests/support/TestDesktop.h"

// The one test desktop of the platform tests: the trash lives in its home, and its types and
// applications answer the questions about default applications.
inline const TestDesktop& platformTestDesktop()
{
    return TestDesktop::install({
        { { "application/x-pressling-sample", "*.prssample" },
            { "application/x-pressling-orphan", "*.prsorphan" },
            { "application/x-pressling-words", "*.prswords" },
            { "application/x-pressling-sheets", "*.prssheets" } },
        { // Sorted before the default, so that only mimeapps.list makes the other one win.
            { "a-pressling-rival", "/bin/echo rival %f", "application/x-pressling-sample", false },
            { "pressling-sample", "/bin/cat --number %F", "application/x-pressling-sample", true },
            // One program that opens two types under two entries, as an office suite does.
            { "pressling-words", "/bin/true --words %U", "application/x-pressling-words", true,
                "pressling-words" },
            { "pressling-sheets", "/bin/true --sheets %U", "application/x-pressling-sheets", true,
                "/usr/share/pixmaps/pressling-sheets.png" } },
    });
}
