#pragma once

// Asks a window to close as the close box of a window manager does: the WM_DELETE_WINDOW
// message of the window-manager protocols, which the program answers in its own way (a question,
// saving its settings). False when the display could not be reached.
//
// A person sees the window before closing it; a close sent the very moment a window is mapped
// reaches Qt before it has finished showing the window and is lost, so the request waits a
// moment first.
bool askWindowToClose(unsigned long window);
