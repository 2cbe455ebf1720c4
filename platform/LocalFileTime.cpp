#include "platform/LocalFileTime.h"

#include <ctime>

namespace platform {

LocalFileTime LocalFileTime::of(int64_t seconds)
{
    LocalFileTime local;
    time_t moment = static_cast<time_t>(seconds);
    struct tm fields;
    if (!::localtime_r(&moment, &fields) || fields.tm_year < -1900)
        return local;
    local.year = static_cast<unsigned>(fields.tm_year + 1900);
    local.month = static_cast<unsigned>(fields.tm_mon + 1);
    local.day = static_cast<unsigned>(fields.tm_mday);
    local.hour = static_cast<unsigned>(fields.tm_hour);
    local.minute = static_cast<unsigned>(fields.tm_min);
    return local;
}

}
