#include "foundation/Directory.h"

#include "platform/NativeDirectory.h"

#include <cstring>

namespace {

bool isShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isShiftJisTrailByte(unsigned char byte)
{
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

bool existsOrCreate(const char* path)
{
    return platform::NativeDirectory::exists(path) || platform::NativeDirectory::create(path);
}

}

bool Directory::exists() const
{
    return platform::NativeDirectory::exists(m_path.getText());
}

const char* Directory::findSeparator(const char* text, char separator)
{
    if (!text)
        return nullptr;
    for (const char* at = text; *at; ++at) {
        if (isShiftJisLeadByte(static_cast<unsigned char>(at[0]))
            && isShiftJisTrailByte(static_cast<unsigned char>(at[1]))) {
            ++at;
            continue;
        }
        if (*at == separator)
            return at;
    }
    return nullptr;
}

bool Directory::createDirectories() const
{
    const char* path = m_path.getText();
    if (!path || !*path || strcmp(path, ".") == 0 || strcmp(path, "..") == 0)
        return false;
    size_t length = strlen(path);
    if (length >= static_cast<size_t>(WorkBufferSize))
        return false;
    char buffer[WorkBufferSize];
    memcpy(buffer, path, length + 1);

    // A leading separator names the root, which always exists, so the walk begins after it.
    char* start = buffer[0] == Separator ? buffer + 1 : buffer;
    for (char* separator = const_cast<char*>(findSeparator(start, Separator)); separator;
         separator = const_cast<char*>(findSeparator(separator + 1, Separator))) {
        *separator = '\0';
        bool present = existsOrCreate(buffer);
        *separator = Separator;
        if (!present)
            return false;
    }
    return existsOrCreate(buffer);
}
