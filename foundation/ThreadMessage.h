#pragma once

#include <cstdint>

// The numbers that the program's threads and windows once told each other by. The job's observer
// and its stop request carry the first two now; the numbers stay as names, so that logs and
// older notes still match.
constexpr uint32_t UserMessageBase = 1024;
// A publishing job's stop request, after a confirmed Cancel: stop before the next document.
constexpr uint32_t WM_CANCEL_PUBLISHING = UserMessageBase + 600;
// A publishing job's end, to the file list that started it: refill from the current folder.
constexpr uint32_t WM_PUBLISHING_DONE = UserMessageBase + 1000;
// To the start-up check window, from its watcher thread: no Office window is left.
constexpr uint32_t WM_NO_OFFICE_WINDOW = UserMessageBase + 9999;
