#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The readers take paths, so each input is written to a file of this process's own first.
// Returns the path of that file, named with the given suffix.
std::string writeFuzzInput(const uint8_t* data, size_t size, const std::string& suffix);
