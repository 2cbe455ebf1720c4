#pragma once

#include <string>
#include <vector>

// What a system command writes, without its last line end: the system's own answer (the
// user's name, the host's name) against which a result is checked.
std::string commandOutput(const std::vector<std::string>& command);
