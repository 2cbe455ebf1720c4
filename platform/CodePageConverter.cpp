#include "platform/CodePageConverter.h"

#include <iconv.h>

namespace platform {

namespace {

iconv_t handle(void* descriptor)
{
    return static_cast<iconv_t>(descriptor);
}

}

const char* narrowCodePage()
{
    return "UTF-8";
}

CodePageConverter::~CodePageConverter()
{
    if (m_descriptor)
        iconv_close(handle(m_descriptor));
}

bool CodePageConverter::initialise(const char* fromCode, const char* toCode)
{
    if (m_descriptor) {
        iconv_close(handle(m_descriptor));
        m_descriptor = nullptr;
    }
    if (!fromCode || !toCode)
        return false;
    iconv_t descriptor = iconv_open(toCode, fromCode);
    if (descriptor == reinterpret_cast<iconv_t>(-1))
        return false;
    m_descriptor = descriptor;
    return true;
}

bool CodePageConverter::convert(
    const char* input, size_t length, char* output, size_t capacity, size_t& written)
{
    written = 0;
    if (!m_descriptor || (!input && length > 0) || !output)
        return false;
    char* in = const_cast<char*>(input);
    size_t inLeft = length;
    char* out = output;
    size_t outLeft = capacity;
    // Start from the initial shift state, then convert, then flush any pending shift sequence.
    iconv(handle(m_descriptor), nullptr, nullptr, nullptr, nullptr);
    if (iconv(handle(m_descriptor), &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1))
        return false;
    if (iconv(handle(m_descriptor), nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1))
        return false;
    written = capacity - outLeft;
    return true;
}

}
