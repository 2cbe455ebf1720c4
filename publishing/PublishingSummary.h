#pragma once

#include <cstdint>
#include <string>

// The summary line of a publishing job, which pressling-cli also prints for several jobs that
// share one run: "Publishing Result: Total=3   Scucceeded=2   Failed=1".
std::string publishingSummary(int32_t total, int32_t succeeded);
