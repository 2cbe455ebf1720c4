#pragma once

#include "foundation/Object.h"

#include <cstdint>
#include <memory>

// A named lock object. The program gives it a name (the log file's path) but never locks with
// it, so it holds no operating-system lock at all: only the name, in UTF-16 with forward slashes,
// because a lock name may not contain a backslash.
class Mutex : public Object {
public:
    Mutex() = default;
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    // Replaces the name by path converted to UTF-16 with every backslash turned into a forward
    // slash; returns the name's length in UTF-16 units. A null path clears the name and gives 0.
    int32_t setName(const char* path);

    // Null until a name is set.
    const char16_t* getName() const { return m_name.get(); }

private:
    std::unique_ptr<char16_t[]> m_name;
};
