#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The whole of a small input that a program is told to read, such as a list of file names: a
// regular file, a pipe (a named one, or the other end of a shell's <(...)), or "-" for standard
// input. Reading never hangs on what is not meant to be read: a device such as /dev/zero is
// refused (on standard input it is read, up to the limit, since the user put it there), a named
// pipe that nobody writes to reads as empty, and more than limit bytes is an
// error instead of memory filling up.
struct InputText {
    enum class Failure { None, CannotOpen, NotFileOrPipe, TooLarge, ReadFailed };

    Failure failure = Failure::None;
    // The system's error for CannotOpen and ReadFailed.
    int error = 0;
    std::string bytes;

    static InputText read(const std::string& name, size_t limit);
};

}
