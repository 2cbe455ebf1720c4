#pragma once

#include "publishing/PublishFormat.h"

#include <cstdint>

// The command identifiers of the file list's context menu besides the six publish commands,
// which the publishing job shares.
namespace ListCommand {

inline constexpr int32_t Open = 32786;
inline constexpr int32_t Delete = 32782;
inline constexpr int32_t ChangeName = 32793;
inline constexpr int32_t Paste = 32802;
inline constexpr int32_t Refresh = 32781;
inline constexpr int32_t Copy = 32801;

// In the order of the menu.
inline constexpr int32_t PublishCommands[] = { ID_PUBLISH_AS_HTML, ID_PUBLISH_AS_WEBARCHIVE,
    ID_PUBLISH_AS_TEXT, ID_PUBLISH_AS_UNICODETEXT, ID_PUBLISH_AS_XPS, ID_PUBLISH_AS_PDF };

bool isPublishCommand(int32_t command);

}
