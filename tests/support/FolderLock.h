#pragma once

#include <string>

// True when nobody holds flock on the folder at path, so that this process could take it: the
// mark of a folder whose maker is gone.
bool folderLockIsFree(const std::string& path);
