#pragma once

#include <cstdint>

namespace platform {

// Posts message to a window of the user interface, from any thread; the window (a QObject)
// receives it as an event whose type is the message number. A null window receives nothing.
void postWindowMessage(void* window, uint32_t message);

}
