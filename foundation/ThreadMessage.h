#pragma once

#include <cstdint>

// One message for a thread's own queue: a number and two parameters, as a window message has.
struct ThreadMessage {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

// The numbers of the messages between the program's threads and windows. They keep the values
// of the user message range they were given, so that logs and older notes still match.
constexpr uint32_t UserMessageBase = 1024;
// To a publishing job's thread, from its notifier after a confirmed Cancel: stop before the next
// document.
constexpr uint32_t WM_CANCEL_PUBLISHING = UserMessageBase + 600;
// To the file list window, from a publishing job at its end: refill from the current folder.
constexpr uint32_t WM_PUBLISHING_DONE = UserMessageBase + 1000;
// To the start-up check window, from its watcher thread: no Office window is left.
constexpr uint32_t WM_NO_OFFICE_WINDOW = UserMessageBase + 9999;
