#pragma once

// Asks a window to close as the close box of a window manager does: the WM_DELETE_WINDOW
// message of the window-manager protocols, which the program answers in its own way (a question,
// saving its settings). False when the display could not be reached or refused the message.
bool askWindowToClose(unsigned long window);
