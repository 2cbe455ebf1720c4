#pragma once

#include <string>

namespace office::outputHandOver {

// An office writes what it stores into a folder of its own, the only one it may write in when
// it runs in a sandbox; from there the files are handed over to the folder of the export that
// asked for them.

// Removes whatever is in folder (the remains of a store that failed).
void clear(const std::string& folder);

// Moves every file and folder in from into into, by renaming where both lie on one file system
// and by copying otherwise. Only files and folders are handed over; a link, or anything else
// that is no plain file, is dropped and never followed. Throws ComError.
void moveAll(const std::string& from, const std::string& into);

}
