#pragma once

#include <string>

namespace platform {

// text with the environment variables it names replaced by their values: $NAME and ${NAME} as a
// shell writes them, and %NAME% as registered commands from Windows do. A name that is not set
// stays as it was written, so that a command never silently loses a part of itself.
std::string expandEnvironmentVariables(const std::string& text);

}
