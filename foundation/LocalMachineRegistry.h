#pragma once

#include "foundation/Registry.h"

// The registry operations below HKEY_LOCAL_MACHINE.
class LocalMachineRegistry : public Registry {
public:
    LocalMachineRegistry()
        : Registry(Root::LocalMachine)
    {
    }
};
