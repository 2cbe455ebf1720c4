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

constexpr Popup listViewPopup { "ListView_ContextMenu", listViewEntries };

}

const Popup* firstPopup(int identifier)
{
    switch (identifier) {
    case ListViewContextMenu:
        return &listViewPopup;
    default:
        return nullptr;
    }
}

}
