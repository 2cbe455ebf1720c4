#pragma once

#include "foundation/Object.h"
#include "foundation/String.h"

#include <string>
#include <vector>

// The program and arguments that a registered open command gives for one document. The command
// is usually a desktop entry's Exec line ("libreoffice --writer %U", "evince %f"), whose field
// codes are honoured: %f and %F become the path, %u and %U its file:// URI, %% a %, and the
// deprecated codes go. A command registered in the Windows form ("program" "%1") gets the path
// at %1. A command without any of these gets the path as its last argument. Words are split as
// StringTokenizer splits them, and the program, the first word, has its environment variables
// expanded.
class OpenCommand : public Object {
public:
    explicit OpenCommand(const char* commandLine);

    // Empty when the command names no program.
    std::vector<std::string> argumentsFor(const char* path) const;

    // file:// followed by the absolute path's bytes, percent-encoded where a URI needs it.
    static std::string fileUri(const std::string& path);

private:
    String m_commandLine;
};
