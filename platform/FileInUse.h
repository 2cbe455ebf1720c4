#pragma once

#include <string>

namespace platform {

// True when another program holds the file at path, opened by the caller as descriptor, open as
// a document: another process has a POSIX (fcntl) or flock lock on it, or an office suite keeps
// its lock file beside it (".~lock.NAME#" for LibreOffice, "~$NAME" for Microsoft Office). This
// is what stands in for a file that cannot be opened without sharing.
bool isFileInUse(int descriptor, const std::string& path);

}
