#pragma once

// The desktop program's main window as the engine knows it. The one thing the engine does with
// it is bring it to the front when an office session ends, so that the user is back where the
// job was started; pressling-cli has no main window and nothing happens.
class MainWindowHandle {
public:
    virtual ~MainWindowHandle() = default;
    // Called from whatever thread the session ends on.
    virtual void bringToFront() = 0;

    // The process-wide main window: the first one remembered stays until it is forgotten.
    static void remember(MainWindowHandle* window);
    // Called before the window goes away, so that no session reaches it afterwards.
    static void forget(MainWindowHandle* window);
    static bool isRemembered();
};

// Gives the remembered main window the focus and brings it to the front; nothing while there is
// none.
void bringMainWindowToFront();
