#pragma once

#include "filelist/ContextMenuRules.h"

#include <cstdint>

class QAction;
class QMenu;
class QPoint;
class QWidget;

// The file list's context menu: built from its menu resource on first use and kept for the
// list's life, so that every showing reuses the entries and the states the last one left.
class ContextMenu {
public:
    ContextMenu() = default;
    ContextMenu(const ContextMenu&) = delete;
    ContextMenu& operator=(const ContextMenu&) = delete;

    // Builds the popup once, owned by parent (the list); false when the resource is missing (the next
    // request tries again).
    bool load(QWidget* parent);
    bool isLoaded() const { return m_popup != nullptr; }

    // Applies this showing's rules to the kept states and to the entries.
    void update(const SelectionCounts& counts);
    // Shows the popup at a screen position until the user chooses or dismisses it: the chosen
    // entry's command, or 0.
    int32_t exec(const QPoint& globalPosition);

    QMenu* popup() const { return m_popup; }
    QAction* action(int32_t command) const;
    const ContextMenuStates& states() const { return m_states; }

private:
    QMenu* m_popup = nullptr;
    ContextMenuStates m_states;
};
