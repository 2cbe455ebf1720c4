#include "foundation/Mutex.h"

#include "foundation/StringConverter.h"

int32_t Mutex::setName(const char* path)
{
    m_name = StringConverter::toWideChar(path);
    if (!m_name)
        return 0;
    int32_t length = 0;
    for (char16_t* at = m_name.get(); *at; ++at, ++length) {
        if (*at == u'\\')
            *at = u'/';
    }
    return length;
}
