#pragma once

#include <cstddef>

namespace platform {

// Fills buffer with length bytes from the kernel's random source. False when the kernel could
// not deliver them all; the buffer's contents are then unspecified.
bool fillRandomBytes(void* buffer, size_t length);

}
