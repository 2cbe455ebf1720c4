#pragma once

// Whether the user cancelled the program's start at the check for open office applications:
// set when the user confirms the check window's cancel question, read by the start-up routine.
// Process-wide; the check's watcher thread never touches it.
class StartupCancel {
public:
    static void set();
    static void clear();
    static bool isSet();
};
