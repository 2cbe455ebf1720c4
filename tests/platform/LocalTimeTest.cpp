#include "platform/LocalTime.h"
#include "platform/RandomBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>

// Catches a time stamp that is not the 24-character calendar form (a zero-padded day of the
// month, a trailing line feed, locale names).
TEST(LocalTime, CalendarFormOf24Characters)
{
    std::string text = platform::localCalendarTime();
    EXPECT_EQ(text.size(), 24u) << text;
    EXPECT_TRUE(std::regex_match(text,
        std::regex("^(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                   "[ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}$")))
        << text;
}

// Catches a buffer that is left partly unfilled.
TEST(RandomBytes, FillsTheWholeBuffer)
{
    unsigned char first[4096];
    unsigned char second[4096];
    memset(first, 0, sizeof(first));
    memset(second, 0, sizeof(second));
    ASSERT_TRUE(platform::fillRandomBytes(first, sizeof(first)));
    ASSERT_TRUE(platform::fillRandomBytes(second, sizeof(second)));
    // Two 64-byte stretches of zeros at the end would be a 2^-512 event for a real source.
    unsigned char zeros[64] = {};
    EXPECT_NE(memcmp(first + sizeof(first) - 64, zeros, 64), 0);
    EXPECT_NE(memcmp(first, second, sizeof(first)), 0);
}
