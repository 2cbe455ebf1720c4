#include "filelist/CDropTarget.h"

#include "filelist/FileImport.h"
#include "filelist/ShellDataObject.h"

#include <QWidget>

#include <vector>

namespace {

bool allows(int32_t allowedEffects, int32_t effect)
{
    return (allowedEffects & effect) != 0;
}

// What the source is told: what the list did. It learns of a move only when every file it
// offered was moved, so that a source that removes what it believes moved never removes a file
// that the list left out; anything else that brought files in reads as a copy, and the list has
// already removed the sources it moved itself.
int32_t reportedEffect(bool move, const FileImport::DroppedFiles& dropped)
{
    if (dropped.taken == 0)
        return DropEffect::None;
    return move && dropped.left == 0 ? DropEffect::Move : DropEffect::Copy;
}

}

CDropTarget::CDropTarget(QWidget* targetWindow, FileImport& import)
    : m_targetWindow(targetWindow)
    , m_import(import)
{
}

int32_t CDropTarget::chooseEffect(int32_t keyState, int32_t allowedEffects)
{
    int32_t effect = DropEffect::None;
    if (keyState & KeyState::Ctrl) {
        if (allows(allowedEffects, DropEffect::Copy))
            effect = DropEffect::Copy;
    } else if (keyState & KeyState::Shift) {
        if (allows(allowedEffects, DropEffect::Move))
            effect = DropEffect::Move;
    }
    if (effect != DropEffect::None)
        return effect;
    if (allows(allowedEffects, DropEffect::Move))
        return DropEffect::Move;
    if (allows(allowedEffects, DropEffect::Copy))
        return DropEffect::Copy;
    return DropEffect::None;
}

int32_t CDropTarget::DragEnter(const QMimeData* data, int32_t keyState, int32_t allowedEffects)
{
    m_dataAccepted = ShellDataObject::hasFiles(data);
    if (!m_dataAccepted)
        return DropEffect::None;
    m_targetWindow->setFocus(Qt::OtherFocusReason);
    return chooseEffect(keyState, allowedEffects);
}

int32_t CDropTarget::DragOver(int32_t keyState, int32_t allowedEffects)
{
    return m_dataAccepted ? chooseEffect(keyState, allowedEffects) : DropEffect::None;
}

void CDropTarget::DragLeave()
{
    m_dataAccepted = false;
}

int32_t CDropTarget::Drop(const QMimeData* data, int32_t keyState, int32_t allowedEffects)
{
    if (!m_dataAccepted || !ShellDataObject::hasFiles(data))
        return DropEffect::None;
    int32_t chosen = chooseEffect(keyState, allowedEffects);
    // A move only where Ctrl is up and the source allows a move: a source that offers its files
    // for copying only keeps them.
    bool move = !(keyState & KeyState::Ctrl) && chosen == DropEffect::Move;
    m_targetWindow->window()->activateWindow();
    std::vector<std::string> names = ShellDataObject::files(data);
    FileImport::DroppedFiles dropped = m_import.XListView_DragDropFiles(
        &names, move ? FileImport::Transfer::Move : FileImport::Transfer::Copy);
    return reportedEffect(move, dropped);
}
