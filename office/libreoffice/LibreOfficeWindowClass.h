#pragma once

#include <string>
#include <vector>

namespace office {

// The LibreOffice main windows that must be closed before the program starts, by window class,
// with the document extension whose registered application gives each its icon.
class LibreOfficeWindowClass {
public:
    // The window classes looked for: Writer, Calc and Impress.
    static std::vector<std::string> all();
    // The extension for className, compared without regard to case; empty for any other class.
    static std::string extensionOf(const std::string& className);
};

}
