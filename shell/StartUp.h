#pragma once

#include "filelist/PublishingJobs.h"
#include "foundation/TraceSink.h"
#include "shell/OfficeApplicationMonitor.h"

#include <QByteArray>

#include <functional>
#include <optional>
#include <string>

// The program's life from its start to its end. WinMain decides whether the program may start
// (no office window of the user's may be open, as runningOffices finds them), then hands the
// rest to run, normally Sheetcast_Run; it returns the exit code: 1 when the user cancelled the
// start, 0 otherwise, also when an exception escaped run. The command line is only logged.
int WinMain(const std::string& commandLine, OfficeApplicationMonitor::Listing runningOffices,
    const std::function<int()>& run);

// Shows the main window at the folder asked for on the command line, or at the folder of the
// previous run when none was, and returns 0 once it has closed and every publishing job started
// from it has ended. trace receives the trace lines of the window and of its file list.
int Sheetcast_Run(
    PublishingJobs::Factories factories, TraceSink trace, const std::optional<std::string>& requestedFolder);

// The folder the main window opens at: the one the user asked for, as it is, otherwise the one
// of the previous run (InitialFolder). The rule that a folder on a removable or CD-ROM drive
// gives way to the documents folder is for a folder remembered from another day, whose medium
// may be gone or another by now; a folder the user names is there now, on whatever drive.
std::optional<QByteArray> firstFolder(const std::optional<std::string>& requestedFolder);
