#pragma once

#include <string>

namespace platform {

// The running program's name: its executable's file name without folder and extension
// ("pressling", "pressling-cli", a test's name). Settings and logs are kept per program name.
std::string programName();

}
