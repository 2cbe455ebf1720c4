#pragma once

#include "foundation/Object.h"

#include <cstdint>

// The failure of the library and of set-up: a code and an owned message text. Thrown by value;
// a handler that passes the failure on rethrows a copy.
class Exception : public Object {
public:
    Exception(const char* message, int32_t code);
    Exception(int32_t code, const char* format, ...) __attribute__((format(printf, 3, 4)));
    Exception(const Exception& other);
    Exception& operator=(const Exception& other);
    ~Exception() override;

    const char* getMessage() const { return m_message; }
    int32_t getErrorCode() const { return m_code; }

    // A formatted message holds at most this many characters; longer ones are cut.
    static constexpr int MaxFormattedLength = 2047;

private:
    char* m_message = nullptr;
    int32_t m_code = 0;
};
