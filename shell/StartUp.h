#pragma once

#include "filelist/FileListView.h"

#include <functional>
#include <string>

// The program's life from its start to its end. WinMain decides whether the program may start
// (no office window of the user's may be open), then hands the rest to run, normally
// Sheetcast_Run; it returns the exit code: 1 when the user cancelled the start, 0 otherwise,
// also when an exception escaped run. The command line is only logged.
int WinMain(const std::string& commandLine, const std::function<int()>& run);

// Shows the main window at the folder of the previous run and returns 0 once it has closed and
// every publishing job started from it has ended.
int Sheetcast_Run(FileListView::JobFactories factories);
