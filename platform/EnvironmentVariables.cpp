#include "platform/EnvironmentVariables.h"

#include <cstdlib>
#include <optional>

namespace platform {

namespace {

bool isNameCharacter(char character, bool first)
{
    return character == '_' || (character >= 'A' && character <= 'Z')
        || (character >= 'a' && character <= 'z') || (!first && character >= '0' && character <= '9');
}

std::optional<std::string> valueOf(const std::string& name)
{
    if (name.empty())
        return std::nullopt;
    const char* value = std::getenv(name.c_str());
    if (!value)
        return std::nullopt;
    return std::string(value);
}

// One reference starting at text[start] ('$' or '%'): its name and the position after it, or
// nothing when no well-formed reference starts there.
struct Reference {
    std::string name;
    size_t end;
};

std::optional<Reference> referenceAt(const std::string& text, size_t start)
{
    if (text[start] == '%') {
        size_t close = text.find('%', start + 1);
        if (close == std::string::npos || close == start + 1)
            return std::nullopt;
        return Reference { text.substr(start + 1, close - start - 1), close + 1 };
    }
    if (start + 1 < text.size() && text[start + 1] == '{') {
        size_t close = text.find('}', start + 2);
        if (close == std::string::npos)
            return std::nullopt;
        return Reference { text.substr(start + 2, close - start - 2), close + 1 };
    }
    size_t end = start + 1;
    while (end < text.size() && isNameCharacter(text[end], end == start + 1))
        ++end;
    return Reference { text.substr(start + 1, end - start - 1), end };
}

}

std::string expandEnvironmentVariables(const std::string& text)
{
    std::string result;
    size_t position = 0;
    while (position < text.size()) {
        char character = text[position];
        std::optional<Reference> reference;
        if (character == '$' || character == '%')
            reference = referenceAt(text, position);
        std::optional<std::string> value = reference ? valueOf(reference->name) : std::nullopt;
        if (!value) {
            result += character;
            ++position;
            continue;
        }
        result += *value;
        position = reference->end;
    }
    return result;
}

}
