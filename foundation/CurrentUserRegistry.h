#pragma once

#include "foundation/Registry.h"

// The registry operations below HKEY_CURRENT_USER.
class CurrentUserRegistry : public Registry {
public:
    CurrentUserRegistry()
        : Registry(Root::CurrentUser)
    {
    }
};
