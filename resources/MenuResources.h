#pragma once

#include <cstdint>
#include <span>

// The program's menus as data, addressed by their resource identifiers, so that a window builds
// its menu from the same table that names its commands.
namespace MenuResources {

constexpr int ListViewContextMenu = 129;

// One entry of a popup; command 0 is a separator.
struct MenuEntry {
    int32_t command;
    const char* text;
};

struct Popup {
    const char* title;
    std::span<const MenuEntry> entries;
};

// The first popup of the menu of that identifier; null for an unknown one.
const Popup* firstPopup(int identifier);

}
