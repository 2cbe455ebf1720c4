#include "cli/ShellQuote.h"

#include "foundation/StringConverter.h"

namespace {

// C0 and C1 controls and DEL: what a terminal may take for a line end or a command.
bool isControl(char32_t codePoint)
{
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

// The characters that the $'...' form writes with a letter or a backslash of their own.
const char* escapeOf(char32_t codePoint)
{
    switch (codePoint) {
    case '\n':
        return "\\n";
    case '\t':
        return "\\t";
    case '\\':
        return "\\\\";
    case '\'':
        return "\\'";
    }
    return nullptr;
}

void appendHex(std::string& out, char byte)
{
    static const char digits[] = "0123456789ABCDEF";
    unsigned char value = static_cast<unsigned char>(byte);
    out += "\\x";
    out += digits[value >> 4];
    out += digits[value & 15];
}

}

bool ShellQuote::needsQuoting(std::string_view name)
{
    for (size_t index = 0; index < name.size();) {
        char32_t codePoint = 0;
        if (!StringConverter::decodeUtf8(name, index, codePoint) || isControl(codePoint))
            return true;
    }
    return false;
}

std::string ShellQuote::printable(std::string_view name)
{
    if (!needsQuoting(name))
        return std::string(name);
    std::string out = "$'";
    for (size_t index = 0; index < name.size();) {
        const size_t start = index;
        char32_t codePoint = 0;
        if (!StringConverter::decodeUtf8(name, index, codePoint)) {
            appendHex(out, name[index++]);
            continue;
        }
        if (const char* escape = escapeOf(codePoint)) {
            out += escape;
        } else if (isControl(codePoint)) {
            for (size_t byte = start; byte < index; ++byte)
                appendHex(out, name[byte]);
        } else {
            out += name.substr(start, index - start);
        }
    }
    return out + "'";
}
