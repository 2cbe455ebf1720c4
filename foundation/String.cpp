#include "foundation/String.h"

#include "foundation/OutOfMemoryException.h"

#include <cstring>
#include <new>
#include <utility>

namespace {

// Returns a heap copy of text, or null when the memory cannot be had.
char* duplicate(const char* text, int32_t& length)
{
    size_t size = std::strlen(text);
    char* copy = new (std::nothrow) char[size + 1];
    if (copy) {
        std::memcpy(copy, text, size + 1);
        length = static_cast<int32_t>(size);
    }
    return copy;
}

}

String::String(const char* text)
{
    if (!text)
        return;
    m_text = duplicate(text, m_length);
    if (!m_text) {
        m_length = 0;
        throw OutOfMemoryException("String::String,1,Failed to create a string", 0);
    }
}

String::String(const String& other)
    : String(other.m_text)
{
}

String::String(String&& other) noexcept
    : m_length(std::exchange(other.m_length, 0))
    , m_text(std::exchange(other.m_text, nullptr))
{
}

String& String::operator=(const String& other)
{
    if (other.m_text)
        assign(other.m_text);
    else if (this != &other) {
        delete[] m_text;
        m_text = nullptr;
        m_length = 0;
    }
    return *this;
}

String& String::operator=(String&& other) noexcept
{
    if (this != &other) {
        delete[] m_text;
        m_length = std::exchange(other.m_length, 0);
        m_text = std::exchange(other.m_text, nullptr);
    }
    return *this;
}

String::~String()
{
    delete[] m_text;
}

void String::assign(const char* text)
{
    if (!text)
        return;
    int32_t length = 0;
    char* copy = duplicate(text, length);
    if (!copy)
        throw OutOfMemoryException("Failed to substitue a string", 0);
    delete[] m_text;
    m_text = copy;
    m_length = length;
}

bool String::equals(const char* text) const
{
    return m_text && text && std::strcmp(m_text, text) == 0;
}
