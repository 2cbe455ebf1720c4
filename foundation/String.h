#pragma once

#include "foundation/Object.h"

#include <cstdint>

// An owned, NUL-terminated narrow string (UTF-8 here). A string that was never given a text has
// a null text and equals nothing, not even the empty text.
class String : public Object {
public:
    String() = default;
    explicit String(const char* text);
    String(const String& other);
    String(String&& other) noexcept;
    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;
    ~String() override;

    // Replaces the contents by a copy of text; null leaves the string as it is. The copy is made
    // before the old text goes, so a string may be given its own text.
    void assign(const char* text);

    const char* getText() const { return m_text; }
    int32_t getLength() const { return m_length; }
    bool isNull() const { return m_text == nullptr; }
    bool equals(const char* text) const;

private:
    int32_t m_length = 0;
    char* m_text = nullptr;
};
