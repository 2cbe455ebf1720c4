#include "publishing/MainWindowHandle.h"

#include <mutex>

namespace {

// Sessions end on job threads while the GUI thread builds and destroys the window, so the
// handle is only ever read and changed under the lock; bringToFront runs under it too, which
// keeps the window from being forgotten halfway through.
std::mutex handleLock;
MainWindowHandle* mainWindow = nullptr;

}

void MainWindowHandle::remember(MainWindowHandle* window)
{
    std::lock_guard lock(handleLock);
    if (!mainWindow)
        mainWindow = window;
}

void MainWindowHandle::forget(MainWindowHandle* window)
{
    std::lock_guard lock(handleLock);
    if (mainWindow == window)
        mainWindow = nullptr;
}

bool MainWindowHandle::isRemembered()
{
    std::lock_guard lock(handleLock);
    return mainWindow != nullptr;
}

void bringMainWindowToFront()
{
    std::lock_guard lock(handleLock);
    if (mainWindow)
        mainWindow->bringToFront();
}
