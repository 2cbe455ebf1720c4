#pragma once

#include <cstdint>
#include <span>

// The program's menus as data, addressed by their resource identifiers, so that a window builds
// its menu from the same table that names its commands.
namespace MenuResources {

constexpr int MainWindowMenu = 109;
constexpr int ListViewContextMenu = 129;

struct Popup;

// One entry of a popup: a command, a separator (command 0 and no text), or a popup of its own
// (submenu, no command).
struct MenuEntry {
    int32_t command;
    const char* text;
    const Popup* submenu = nullptr;
};

struct Popup {
    const char* title;
    std::span<const MenuEntry> entries;
};

// The popups of the menu of that identifier, as a menu bar shows them; empty for an unknown one.
std::span<const Popup> menu(int identifier);
// The first popup of the menu of that identifier; null for an unknown one.
const Popup* firstPopup(int identifier);

}
