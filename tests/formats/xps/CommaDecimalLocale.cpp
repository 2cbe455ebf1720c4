// Every test of the XPS writer runs under a locale whose decimal separator is a comma, as
// Pressling does for a German user: the program takes its locale from the environment, and a
// number written or read through the locale would come out as "1,5" or be read as 1.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>

namespace {

const char* const commaLocale = "de_DE.UTF-8";

class CommaDecimalLocale : public ::testing::Environment {
public:
    void SetUp() override
    {
        // The install script generates this locale; a machine without it cannot test this.
        ASSERT_NE(std::setlocale(LC_ALL, commaLocale), nullptr)
            << commaLocale << " is not installed: run scripts/install-deps.sh";
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
        // The readers and converters that the tests start get the same locale.
        setenv("LC_ALL", commaLocale, 1);
    }
};

[[maybe_unused]] const ::testing::Environment* const registered
    = ::testing::AddGlobalTestEnvironment(new CommaDecimalLocale);

}
