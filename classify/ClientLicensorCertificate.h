#pragma once

#include <string>

// True when the user holds a client licensor certificate (CLC) for owner: a file
// "CLC-<owner>-*.drm" in the rights-management folder "Microsoft/DRM" of the user's local
// application data ($XDG_DATA_HOME, by default ~/.local/share), with every "-" of the owner
// written as ";k".
bool findCLC(const char* owner);

// The local application data folder, or empty when the environment names none.
std::string localApplicationDataFolder();

// Matches name against a pattern in which "*" stands for any run of characters and "?" for
// one, as a folder search does.
bool matchesWildcard(const char* pattern, const char* name);
