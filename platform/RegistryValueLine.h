#pragma once

#include "platform/RegistryValue.h"

#include <string>

namespace platform {

// One value line of a REGEDIT4 file: @=... or "Name"=... with the data as "text", dword:XXXXXXXX,
// hex:bytes or hex(N):bytes. A hex line continued with a trailing \ is joined before it gets here.
bool parseRegistryValueLine(const std::string& line, RegistryValue& value);
std::string formatRegistryValueLine(const RegistryValue& value);

// The text in double quotes with \ and " escaped, as names and strings are written.
std::string quoteRegistryText(const std::string& text);

}
