#pragma once

#include "foundation/Registry.h"

// The registry operations below HKEY_CLASSES_ROOT, which holds the program registered for each
// file extension. Reads see the entries of the store's classes file first and, for what it lacks,
// the desktop's: the default value of ".EXT" is the MIME type of the extension, and the default
// value of "TYPE\shell\open\command" the Exec line of the default application for MIME type
// TYPE. Writes go to the classes file only.
class ClassesRootRegistry : public Registry {
public:
    ClassesRootRegistry()
        : Registry(Root::ClassesRoot)
    {
    }
};
