#pragma once

#include "platform/RegistryValue.h"

#include <optional>
#include <string>

namespace platform {

// What HKEY_CLASSES_ROOT holds on the desktop, for the values that classes.reg leaves out: the
// default value of ".EXT" is the MIME type of that extension, and the default value of
// "TYPE\shell\open\command" the Exec line of the default application for MIME type TYPE. Nothing
// for every other key and value, and for what the desktop does not know.
std::optional<RegistryValue> readDesktopClassesRoot(const std::string& key, const std::string& name);

}
