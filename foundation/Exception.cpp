#include "foundation/Exception.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

char* copyText(const char* text)
{
    if (!text)
        return nullptr;
    size_t size = std::strlen(text) + 1;
    char* copy = new char[size];
    std::memcpy(copy, text, size);
    return copy;
}

}

Exception::Exception(const char* message, int32_t code)
    : m_message(copyText(message))
    , m_code(code)
{
}

Exception::Exception(int32_t code, const char* format, ...)
    : m_code(code)
{
    m_message = new char[MaxFormattedLength + 1]();
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(m_message, MaxFormattedLength + 1, format, arguments);
    va_end(arguments);
}

Exception::Exception(const Exception& other)
    : Object(other)
    , m_message(copyText(other.m_message))
    , m_code(other.m_code)
{
}

Exception& Exception::operator=(const Exception& other)
{
    if (this != &other) {
        char* copy = copyText(other.m_message);
        delete[] m_message;
        m_message = copy;
        m_code = other.m_code;
    }
    return *this;
}

Exception::~Exception()
{
    delete[] m_message;
}
