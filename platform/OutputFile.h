#pragma once

#include "platform/FileIdentity.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A file that a program writes its results into, line by line, so that whatever has been
// written is there even when the program is ended halfway. Opening creates a missing file but
// empties nothing, so that the caller can first make sure the name does not lead to a file it
// must never overwrite; a named pipe that nobody reads fails at once (ENXIO) instead of waiting.
class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // False with error set when the file cannot be opened for writing.
    bool open(const std::string& path, int& error);
    bool isOpen() const { return m_descriptor >= 0; }
    std::optional<FileIdentity> identity() const;
    // Empties a regular file; anything else (a pipe, a terminal) has nothing to empty.
    bool truncate(int& error);
    // Writes all of text; false with error set when the system refuses.
    bool write(std::string_view text, int& error);

private:
    int m_descriptor = -1;
};

}
