#pragma once

#include "tests/support/TestDesktop.h"

#include <string>

// The desktop of the file list's tests, one per test process: one type opened through %f, one
// through %U, one without any application, each the desktop's default as a user would have
// chosen it. Its data folder holds the trash that deleted files go to.
inline const TestDesktop& listDesktop()
{
    const std::string recorder = ARGUMENT_RECORDER_PATH;
    return TestDesktop::install({
        { { "application/x-pressling-by-file", "*.prsfile" },
            { "application/x-pressling-by-uri", "*.prsuri" },
            { "application/x-pressling-unopened", "*.prsnone" } },
        { { "pressling-by-file", recorder + " --field-f %f", "application/x-pressling-by-file" },
            { "pressling-by-uri", recorder + " %U", "application/x-pressling-by-uri" } },
    });
}
