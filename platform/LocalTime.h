#pragma once

#include <string>

namespace platform {

// The current local time in the 24-character calendar form "Tue Dec  8 05:20:58 2026" (day of
// the month right-aligned in two places), without the line feed that asctime would append.
std::string localCalendarTime();

}
