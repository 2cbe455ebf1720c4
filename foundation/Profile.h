#pragma once

#include "foundation/CurrentUserRegistry.h"

#include <cstdint>
#include <string>

// The program's own key below the maker's branch of the current user, which keeps the window
// geometry between runs.
class Profile : public CurrentUserRegistry {
public:
    // Window edges as the window system reports them; width and height follow from them.
    struct Rectangle {
        int32_t left = 0;
        int32_t top = 0;
        int32_t right = 0;
        int32_t bottom = 0;
    };

    // The key "Software\Tarnwick\Application\NAME", named after the running program when no
    // name is given. The key is created when missing.
    explicit Profile(const char* name = nullptr);

    const char* getKeyPath() const { return m_keyPath.c_str(); }

    // All four outputs start at the smallest 32-bit integer and keep it when the value is missing
    // or a number cannot be parsed; true when the value was read.
    bool readGeometry(int32_t& x, int32_t& y, int32_t& width, int32_t& height) const;
    bool writeGeometry(const Rectangle& rectangle) const;
    bool setValue(const char* subkey, const char* valueName, const char* text) const;

private:
    std::string m_keyPath;
};
