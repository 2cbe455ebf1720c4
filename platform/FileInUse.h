#pragma once

#include <string>

namespace platform {

// True when another program holds the file open as a document: another process has a POSIX
// (fcntl) or flock lock on it, or an office suite keeps its lock file beside it
// (".~lock.NAME#" for LibreOffice, "~$NAME" for Microsoft Office). This is what stands in for a
// file that cannot be opened without sharing.
bool isFileInUse(const std::string& path);

// The same probe for a file the caller has already opened, which saves opening it again.
bool isFileInUse(int descriptor, const std::string& path);

}
