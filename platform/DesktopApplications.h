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

// The icon of the desktop application for the MIME type whose Exec line starts executable (its
// first word, as written there): a theme icon name, or an absolute image file path. The default
// application is asked first, then the others for the type, so that one program registered
// under several names ("libreoffice --writer", "libreoffice --calc") gives the icon of the
// entry for that type. Nothing when no such application is registered or it names no icon.
std::optional<std::string> applicationIcon(const std::string& mimeType, const std::string& executable);

}
