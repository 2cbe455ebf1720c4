#pragma once

#include <cstdint>

class FileImport;
class QMimeData;
class QWidget;

// The drop effects, with the values that Qt's drop actions have as well.
namespace DropEffect {
inline constexpr int32_t None = 0;
inline constexpr int32_t Copy = 1;
inline constexpr int32_t Move = 2;
}

// The keys and buttons held during a drag.
namespace KeyState {
inline constexpr int32_t LeftButton = 1;
inline constexpr int32_t RightButton = 2;
inline constexpr int32_t Shift = 4;
inline constexpr int32_t Ctrl = 8;
}

// The list's one drop target: decides whether a drag over the list offers files, which effect it
// gets, and hands a drop to XListView_DragDropFiles. The list owns it and calls it from its drag
// events, so it lives exactly as long as the list and needs no reference count of its own.
// targetWindow is the list, which takes the focus when files come over it.
class CDropTarget {
public:
    CDropTarget(QWidget* targetWindow, FileImport& import);

    // Each gives the effect that the drag is to show.
    int32_t DragEnter(const QMimeData* data, int32_t keyState, int32_t allowedEffects);
    int32_t DragOver(int32_t keyState, int32_t allowedEffects);
    void DragLeave();
    int32_t Drop(const QMimeData* data, int32_t keyState, int32_t allowedEffects);

    // Ctrl asks for a copy, Shift for a move; otherwise a move where the source allows it.
    static int32_t chooseEffect(int32_t keyState, int32_t allowedEffects);

private:
    QWidget* m_targetWindow;
    FileImport& m_import;
    bool m_dataAccepted = false;
};
