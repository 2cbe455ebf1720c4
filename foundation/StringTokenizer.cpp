#include "foundation/StringTokenizer.h"

#include "foundation/String.h"
#include "foundation/StringBuffer.h"

StringTokenizer::StringTokenizer(const char* text)
    : m_cursor(text)
{
}

bool StringTokenizer::isDelimiter(char character) const
{
    for (int32_t i = 0; i < m_delimiterCount; ++i) {
        if (m_delimiters[i] == character)
            return true;
    }
    return false;
}

const char* StringTokenizer::getToken(String& token)
{
    if (!m_cursor || !*m_cursor)
        return nullptr;
    while (*m_cursor && isDelimiter(*m_cursor))
        ++m_cursor;

    StringBuffer collected(1024, 256);
    int quotes = 0;
    while (*m_cursor) {
        if (m_cursor[0] == '"' && m_cursor[1] == '"') {
            // An empty pair of quotes is a word of its own.
            m_cursor += 2;
            break;
        }
        if (*m_cursor == '"') {
            ++m_cursor;
            ++quotes;
            if (!*m_cursor)
                break;
            continue;
        }
        if (isDelimiter(*m_cursor) && (quotes == 0 || quotes == 2))
            break;
        collected.append(*m_cursor);
        ++m_cursor;
    }
    token.assign(collected.getBuffer());
    return m_cursor;
}
