#pragma once

#include "foundation/Object.h"

#include <cstdint>

// A growable, always NUL-terminated character buffer that grows by a fixed increment.
class StringBuffer : public Object {
public:
    StringBuffer(int32_t capacity, int32_t increment);
    StringBuffer(const StringBuffer&) = delete;
    StringBuffer& operator=(const StringBuffer&) = delete;
    ~StringBuffer() override;

    // False when growing failed; the contents are then unchanged.
    bool append(char character);
    // Appends character by character and stops at the first failure; true for a null text.
    bool append(const char* text);

    const char* getBuffer() const { return m_buffer; }
    int32_t getLength() const { return m_length; }
    int32_t getCapacity() const { return m_capacity; }

private:
    bool grow();

    char* m_buffer = nullptr;
    int32_t m_capacity = 0;
    int32_t m_increment = 0;
    int32_t m_length = 0;
};
