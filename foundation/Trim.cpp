#include "foundation/Trim.h"

#include <cstring>

namespace {

bool isWhiteSpace(char character)
{
    return character == ' ' || character == '\t' || character == '\r' || character == '\n';
}

}

std::unique_ptr<char[]> trim(const char* text)
{
    if (!text)
        return nullptr;
    const char* begin = text;
    while (isWhiteSpace(*begin))
        ++begin;
    const char* end = begin + std::strlen(begin);
    while (end > begin && isWhiteSpace(end[-1]))
        --end;
    size_t length = static_cast<size_t>(end - begin);
    auto result = std::make_unique<char[]>(length + 1);
    std::memcpy(result.get(), begin, length);
    result[length] = '\0';
    return result;
}
