#pragma once

#include "office/OfficeInstance.h"

#include <optional>
#include <vector>

namespace office {

// The LibreOffice Writer, Calc and Impress that the user has open: their main windows, or in a
// Wayland session the LibreOffice processes that show the user something.
class RunningLibreOffices {
public:
    // Nothing when the session offers no way to look, as opposed to an empty list when none is
    // open.
    static std::optional<std::vector<OfficeInstance>> list();
};

}
