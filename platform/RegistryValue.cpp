#include "platform/RegistryValue.h"

#include <cstring>

namespace platform {

RegistryValue RegistryValue::text(std::string name, const std::string& text, uint32_t type)
{
    RegistryValue value;
    value.name = std::move(name);
    value.type = type;
    value.data.assign(text.begin(), text.end());
    value.data.push_back('\0');
    return value;
}

RegistryValue RegistryValue::dword(std::string name, uint32_t number)
{
    RegistryValue value;
    value.name = std::move(name);
    value.type = RegistryType::Dword;
    for (int shift = 0; shift < 32; shift += 8)
        value.data.push_back(static_cast<unsigned char>(number >> shift));
    return value;
}

std::string RegistryValue::asText() const
{
    const char* begin = reinterpret_cast<const char*>(data.data());
    return std::string(begin, strnlen(begin, data.size()));
}

uint32_t RegistryValue::asDword() const
{
    if (data.size() != 4)
        return 0;
    return uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
}

static char foldAscii(char character)
{
    return character >= 'A' && character <= 'Z' ? static_cast<char>(character - 'A' + 'a') : character;
}

bool registryNamesEqual(const std::string& left, const std::string& right)
{
    if (left.size() != right.size())
        return false;
    for (size_t i = 0; i < left.size(); ++i) {
        if (foldAscii(left[i]) != foldAscii(right[i]))
            return false;
    }
    return true;
}

std::string registryFoldCase(const std::string& name)
{
    std::string folded(name);
    for (char& character : folded)
        character = foldAscii(character);
    return folded;
}

}
