#pragma once

#include "tests/support/TestDesktop.h"

// The one test desktop of the platform tests: the trash lives in its home, and its types and
// applications answer the questions about default applications.
inline const TestDesktop& platformTestDesktop()
{
    return TestDesktop::install({
        { { "application/x-pressling-sample", "*.prssample" },
            { "application/x-pressling-orphan", "*.prsorphan" } },
        { // Sorted before the default, so that only mimeapps.list makes the other one win.
            { "a-pressling-rival", "/bin/echo rival %f", "application/x-pressling-sample", false },
            { "pressling-sample", "/bin/cat --number %F", "application/x-pressling-sample", true } },
    });
}
