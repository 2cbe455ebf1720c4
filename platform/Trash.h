#pragma once

namespace platform {

// Moves path (a file, or a symbolic link itself, never the link's target) to the desktop's
// trash as freedesktop.org lays it out: $XDG_DATA_HOME/Trash with a .trashinfo,
// or on another mount that mount's .Trash-$UID (or .Trash/$UID). 0 on success, otherwise an
// errno value; never deletes a file for good.
int moveToTrash(const char* path);

}
