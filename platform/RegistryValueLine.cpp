#include "platform/RegistryValueLine.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace platform {

namespace {

bool isBlank(char character)
{
    return character == ' ' || character == '\t';
}

size_t skipBlanks(const std::string& line, size_t position)
{
    while (position < line.size() && isBlank(line[position]))
        ++position;
    return position;
}

bool onlyBlanksFrom(const std::string& line, size_t position)
{
    return skipBlanks(line, position) == line.size();
}

// The hex digits at line[position] (at most maxDigits of them, at least one) as a number;
// position ends after them.
bool parseHexDigits(const std::string& line, size_t& position, size_t maxDigits, uint32_t& number)
{
    const char* start = line.data() + std::min(position, line.size());
    auto [end, failure] = std::from_chars(start, line.data() + line.size(), number, 16);
    size_t digits = static_cast<size_t>(end - start);
    if (digits == 0 || digits > maxDigits || failure != std::errc())
        return false;
    position += digits;
    return true;
}

// Reads a quoted text starting at line[position] == '"'; position ends after the closing quote.
bool parseQuoted(const std::string& line, size_t& position, std::string& text)
{
    if (position >= line.size() || line[position] != '"')
        return false;
    text.clear();
    for (size_t i = position + 1; i < line.size(); ++i) {
        char character = line[i];
        if (character == '"') {
            position = i + 1;
            return true;
        }
        if (character == '\\') {
            if (i + 1 >= line.size() || (line[i + 1] != '\\' && line[i + 1] != '"'))
                return false;
            character = line[++i];
        }
        text.push_back(character);
    }
    return false;
}

// At most eight hex digits and nothing else but blanks.
bool parseDword(const std::string& line, size_t position, uint32_t& number)
{
    number = 0;
    return parseHexDigits(line, position, 8, number) && onlyBlanksFrom(line, position);
}

// Comma-separated bytes of two hex digits each; an empty list is an empty value.
bool parseHexBytes(const std::string& line, size_t position, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    position = skipBlanks(line, position);
    if (position == line.size())
        return true;
    while (true) {
        position = skipBlanks(line, position);
        uint32_t byte = 0;
        size_t start = position;
        if (!parseHexDigits(line, position, 2, byte) || position != start + 2)
            return false;
        bytes.push_back(static_cast<unsigned char>(byte));
        position = skipBlanks(line, position);
        if (position == line.size())
            return true;
        if (line[position] != ',')
            return false;
        ++position;
    }
}

// "hex:" is REG_BINARY; "hex(N):" carries the type number N in hex.
bool parseHexType(const std::string& line, size_t& position, uint32_t& type)
{
    if (line.compare(position, 4, "hex:") == 0) {
        type = RegistryType::Binary;
        position += 4;
        return true;
    }
    if (line.compare(position, 4, "hex(") != 0)
        return false;
    size_t i = position + 4;
    uint32_t number = 0;
    if (!parseHexDigits(line, i, 8, number) || line.compare(i, 2, "):") != 0)
        return false;
    type = number;
    position = i + 2;
    return true;
}

bool parseData(const std::string& line, size_t position, RegistryValue& value)
{
    if (line.compare(position, 1, "\"") == 0) {
        std::string text;
        if (!parseQuoted(line, position, text) || !onlyBlanksFrom(line, position))
            return false;
        value = RegistryValue::text(value.name, text);
        return true;
    }
    if (line.compare(position, 6, "dword:") == 0) {
        uint32_t number;
        if (!parseDword(line, position + 6, number))
            return false;
        value = RegistryValue::dword(value.name, number);
        return true;
    }
    if (!parseHexType(line, position, value.type))
        return false;
    return parseHexBytes(line, position, value.data);
}

// A string is written as "text" only when reading that text back gives the same bytes.
bool fitsQuotedForm(const RegistryValue& value)
{
    if (value.type != RegistryType::String || value.data.empty() || value.data.back() != '\0')
        return false;
    for (size_t i = 0; i + 1 < value.data.size(); ++i) {
        unsigned char byte = value.data[i];
        if (byte == '\0' || byte == '\n' || byte == '\r')
            return false;
    }
    return true;
}

}

bool parseRegistryValueLine(const std::string& line, RegistryValue& value)
{
    value = RegistryValue();
    size_t position = 0;
    if (line.compare(0, 1, "@") == 0)
        position = 1;
    else if (!parseQuoted(line, position, value.name))
        return false;
    position = skipBlanks(line, position);
    if (position >= line.size() || line[position] != '=')
        return false;
    position = skipBlanks(line, position + 1);
    return parseData(line, position, value);
}

std::string quoteRegistryText(const std::string& text)
{
    std::string quoted = "\"";
    for (char character : text) {
        if (character == '\\' || character == '"')
            quoted.push_back('\\');
        quoted.push_back(character);
    }
    quoted.push_back('"');
    return quoted;
}

std::string formatRegistryValueLine(const RegistryValue& value)
{
    std::string line = value.name.empty() ? "@" : quoteRegistryText(value.name);
    line += '=';
    if (fitsQuotedForm(value))
        return line + quoteRegistryText(value.asText());
    char buffer[24];
    if (value.type == RegistryType::Dword && value.data.size() == 4) {
        std::snprintf(buffer, sizeof(buffer), "dword:%08x", value.asDword());
        return line + buffer;
    }
    if (value.type == RegistryType::Binary)
        line += "hex:";
    else {
        std::snprintf(buffer, sizeof(buffer), "hex(%x):", value.type);
        line += buffer;
    }
    for (size_t i = 0; i < value.data.size(); ++i) {
        std::snprintf(buffer, sizeof(buffer), i == 0 ? "%02x" : ",%02x", value.data[i]);
        line += buffer;
    }
    return line;
}

}
