#pragma once

#include <optional>
#include <string>

namespace platform {

// The MIME type the desktop gives a file name's extension (".doc" -> "application/msword"),
// from the shared MIME database; nothing when the extension is unknown.
std::optional<std::string> mimeTypeForExtension(const std::string& extension);

// The Exec line of the user's default application for the MIME type, as the desktop chooses it
// (mimeapps.list of user, desktop and system, then the MIME cache); nothing when none.
std::optional<std::string> defaultOpenCommand(const std::string& mimeType);

}
