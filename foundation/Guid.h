#pragma once

#include "foundation/Object.h"

class String;

// Fresh GUID strings for names that must not meet an existing file.
class Guid : public Object {
public:
    // A new random (version 4) GUID in the registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
    // with upper-case digits, 38 characters. False, with out unchanged, when the system could
    // not supply the random bytes.
    bool create(String& out);

    static constexpr int Length = 38;
};
