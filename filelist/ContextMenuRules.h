#pragma once

#include <cstdint>
#include <map>

// What the context menu's enabling rules are computed from, counted afresh at every showing.
struct SelectionCounts {
    // Selected rows.
    int32_t selected = 0;
    // Selected Office documents not protected by rights management, and PDF files.
    int32_t publishable = 0;
    // Selected Office documents and PDF files protected by a password.
    int32_t passwordProtected = 0;
    // Files on the clipboard.
    int32_t clipboardFiles = 0;
};

// The enabled state of each context-menu entry by command identifier. The menu is kept for the
// program's life, so an entry that a showing's rules do not set keeps the state the previous
// showing gave it; every entry starts enabled.
class ContextMenuStates {
public:
    bool isEnabled(int32_t command) const;
    void setEnabled(int32_t command, bool enabled) { m_enabled[command] = enabled; }

private:
    std::map<int32_t, bool> m_enabled;
};

// Sets the entries for one showing, in the order that lets a later rule override an earlier
// one.
void applyContextMenuRules(const SelectionCounts& counts, ContextMenuStates& states);
