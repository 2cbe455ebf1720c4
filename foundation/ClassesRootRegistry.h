#pragma once

#include "foundation/Registry.h"

// The registry operations below HKEY_CLASSES_ROOT, which holds the program registered for each
// file extension. Only the entries of the store's classes file are seen so far; the desktop's own
// MIME associations are not yet merged into this view.
class ClassesRootRegistry : public Registry {
public:
    ClassesRootRegistry()
        : Registry(Root::ClassesRoot)
    {
    }
};
