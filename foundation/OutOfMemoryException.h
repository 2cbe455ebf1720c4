#pragma once

#include "foundation/Exception.h"

// Thrown when a String cannot allocate its text.
class OutOfMemoryException : public Exception {
public:
    OutOfMemoryException(const char* message, int32_t code) : Exception(message, code) { }
    OutOfMemoryException(const OutOfMemoryException& other) = default;
};
