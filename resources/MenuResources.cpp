#include "resources/MenuResources.h"

namespace MenuResources {

namespace {

constexpr MenuEntry listViewEntries[] = {
    { 32837, "Publish As Html(&H)" },
    { 32836, "Publish As WebArchive(&W)" },
    { 32838, "Publish As Text(&T)" },
    { 32839, "Publish As UnicodeText(&U)" },
    { 32840, "Publish As XPS(&X)" },
    { 32842, "Publish As PDF(&F)" },
    { 0, nullptr },
    { 32786, "Open (&O)" },
    { 32782, "Delete (&D)" },
    { 32793, "Change Name (&M)" },
    { 0, nullptr },
    { 32802, "Paste (&P)" },
    { 0, nullptr },
    { 32781, "Refresh (&R)" },
    { 32801, "Copy (&C)" },
};

constexpr Popup listViewPopups[] = { { "ListView_ContextMenu", listViewEntries } };

constexpr MenuEntry createEntries[] = {
    { 32795, "Folder" },
};

constexpr Popup createPopup { "Create (&N)", createEntries };

constexpr MenuEntry fileEntries[] = {
    { 0, "Create (&N)", &createPopup },
    { 32799, "Delete( &D)" },
    { 32800, "Change Name(&R)" },
    { 0, nullptr },
    { 105, "Exit(&X)" },
};

constexpr MenuEntry editEntries[] = {
    { 32823, "Copy (&C)" },
    { 32824, "Paste (&P)" },
    { 32830, "Delete (&X)" },
    { 32814, "Select All (&A)" },
};

constexpr MenuEntry helpEntries[] = {
    { 104, "Show Verision (&A)" },
};

constexpr Popup mainWindowPopups[] = {
    { "File(&F)", fileEntries },
    { "Edit(&E)", editEntries },
    { "Help(&H)", helpEntries },
};

}

std::span<const Popup> menu(int identifier)
{
    switch (identifier) {
    case MainWindowMenu:
        return mainWindowPopups;
    case ListViewContextMenu:
        return listViewPopups;
    default:
        return {};
    }
}

const Popup* firstPopup(int identifier)
{
    std::span<const Popup> popups = menu(identifier);
    return popups.empty() ? nullptr : &popups.front();
}

}
