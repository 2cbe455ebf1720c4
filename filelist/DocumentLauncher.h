#pragma once

#include "foundation/Object.h"

#include <cstdint>

// Opens a document with the program registered under HKEY_CLASSES_ROOT for its extension: the
// default value of ".EXT" names the type, the default value of "TYPE\shell\open\command" the
// command. The program runs in a session of its own and on by itself; nothing waits for it.
class DocumentLauncher : public Object {
public:
    // Opens path with the program registered for its extension. -1 when no program was found
    // (no ".", no type, no command), otherwise 0 on success or the platform's error code.
    int32_t open(const char* path);
};
