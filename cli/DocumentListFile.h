#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The list of --files-from: one path per line, or with -0 one per NUL byte, as find -print0
// writes them for names that hold line ends. "-" reads standard input. A list that cannot be
// what its writer meant is refused as a whole, so that no document is left out unnoticed: one
// that cannot be read, holds no path, has a blank entry, or (one per line) holds a NUL byte.
class DocumentListFile {
public:
    static constexpr size_t maxBytes = 64 * 1024 * 1024;

    // The paths of the list in order; false with error set when it is refused.
    static bool read(
        const std::string& name, bool nulSeparated, std::vector<std::string>& paths, std::string& error);
    // The same for the bytes of a list; name is only for the messages.
    static bool split(std::string_view bytes, bool nulSeparated, const std::string& name,
        std::vector<std::string>& paths, std::string& error);
};
