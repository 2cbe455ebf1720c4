#pragma once

#include <optional>
#include <string>
#include <vector>

namespace office {

// What a LibreOffice process's command line tells: whether the office shows the user anything,
// and which document and module it was started for. Offices started headless or invisible,
// Pressling's own among them, show nothing.
class LibreOfficeCommandLine {
public:
    // The title of a LibreOffice that the user can see; nothing for any other command line.
    static std::optional<std::string> shownTitle(const std::vector<std::string>& arguments);

    // True when a command line is that of a LibreOffice the user can see.
    static bool isShownOffice(const std::vector<std::string>& arguments);
    // "report.odt - LibreOffice Writer" from the document and the module that the command line
    // asks for, or "LibreOffice" when it names neither.
    static std::string titleFor(const std::vector<std::string>& arguments);
};

}
