#include "foundation/StringBuffer.h"

#include <cstring>
#include <new>

StringBuffer::StringBuffer(int32_t capacity, int32_t increment)
    : m_buffer(new char[capacity + 1]())
    , m_capacity(capacity)
    , m_increment(increment)
{
}

StringBuffer::~StringBuffer()
{
    delete[] m_buffer;
}

bool StringBuffer::grow()
{
    // The capacity is raised before the allocation, as the old buffer stays usable either way.
    m_capacity += m_increment;
    char* larger = new (std::nothrow) char[m_capacity + 1]();
    if (!larger)
        return false;
    std::memcpy(larger, m_buffer, m_length);
    delete[] m_buffer;
    m_buffer = larger;
    return true;
}

bool StringBuffer::append(char character)
{
    if (m_length >= m_capacity && !grow())
        return false;
    m_buffer[m_length++] = character;
    m_buffer[m_length] = '\0';
    return true;
}

bool StringBuffer::append(const char* text)
{
    if (!text)
        return true;
    bool appended = true;
    for (const char* cursor = text; *cursor; ++cursor) {
        appended = append(*cursor);
        if (!appended)
            break;
    }
    return appended;
}
