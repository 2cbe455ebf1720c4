#include "foundation/Guid.h"

#include "foundation/String.h"
#include "platform/RandomBytes.h"

#include <cstdint>
#include <cstdio>

bool Guid::create(String& out)
{
    uint8_t bytes[16];
    if (!platform::fillRandomBytes(bytes, sizeof(bytes)))
        return false;
    // The version and variant bits mark the value as a random GUID, as the system's own are.
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80);

    char text[Length + 1];
    snprintf(text, sizeof(text), "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
        bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8], bytes[9],
        bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    out.assign(text);
    return true;
}
