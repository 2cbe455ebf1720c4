#pragma once

#include "shell/OfficeApplicationMonitor.h"

// The program's check for open office applications as it starts: shows the check window
// minimized, brought up as long as office applications are open, and returns once none is left
// or the user has cancelled the start; the watcher has ended by then. True when the user
// cancelled.
bool startupCheckCancelled(OfficeApplicationMonitor::Listing listing);
