#pragma once

#include <cstdint>

namespace platform {

// A file time turned into the calendar of the local time zone, as the file list shows it.
struct LocalFileTime {
    unsigned year = 0;
    unsigned month = 0;
    unsigned day = 0;
    unsigned hour = 0;
    unsigned minute = 0;

    // The local calendar time of seconds since the epoch, under the time zone that the last
    // tzset() read; all fields 0 when the time lies outside the calendar.
    static LocalFileTime of(int64_t seconds);
};

}
