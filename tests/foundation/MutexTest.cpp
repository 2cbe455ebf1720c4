#include "foundation/Mutex.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string nameOf(const Mutex& mutex)
{
    return mutex.getName() ? std::u16string(mutex.getName()) : u"<null>";
}

}

// Catches backslashes left in the name, which the system refuses in a lock name, or a length
// counted in bytes instead of UTF-16 units.
TEST(Mutex, NameTakesForwardSlashesAndReportsItsUtf16Length)
{
    Mutex mutex;
    EXPECT_EQ(mutex.getName(), nullptr);
    EXPECT_EQ(mutex.setName(".\\\\logs\\app.log"), 15);
    EXPECT_EQ(nameOf(mutex), u".//logs/app.log");

    // Two characters of three bytes each in UTF-8 are two UTF-16 units.
    EXPECT_EQ(mutex.setName("\xE6\x97\xA5\xE6\x9C\xAC\\x"), 4);
    EXPECT_EQ(nameOf(mutex), u"\u65E5\u672C/x");
}

// Catches a second name appended to the first or the first one kept.
TEST(Mutex, SecondNameReplacesTheFirst)
{
    Mutex mutex;
    mutex.setName("C:\\first\\name");
    EXPECT_EQ(mutex.setName("second"), 6);
    EXPECT_EQ(nameOf(mutex), u"second");
    EXPECT_EQ(mutex.setName(nullptr), 0);
    EXPECT_EQ(mutex.getName(), nullptr);
}
