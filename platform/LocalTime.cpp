#include "platform/LocalTime.h"

#include <cstdio>
#include <ctime>

namespace platform {

std::string localCalendarTime()
{
    time_t now = time(nullptr);
    struct tm local;
    if (!localtime_r(&now, &local))
        return std::string(24, '?');
    // Formatted here with fixed English names, as asctime does, so that the locale cannot change
    // the form, and without asctime's shared static buffer that other threads would overwrite.
    static const char* const days[] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
    static const char* const months[]
        = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    char text[64];
    int length = snprintf(text, sizeof(text), "%s %s %2d %02d:%02d:%02d %d", days[local.tm_wday % 7],
        months[local.tm_mon % 12], local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
        local.tm_year + 1900);
    if (length < 0)
        return std::string(24, '?');
    return std::string(text, static_cast<size_t>(length) < sizeof(text) ? length : sizeof(text) - 1);
}

}
