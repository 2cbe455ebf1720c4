// Every test of the XPS writer runs under a locale whose decimal separator is a comma, as
// Pressling does for a German user: the program takes its locale from the environment, and a
// number written or read through the locale would come out as "1,5" or be read as 1.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace {

const char* const commaLocale = "de_DE.UTF-8";

class CommaDecimalLocale : public ::testing::Environment {
public:
    void SetUp() override
    {
        // The install script generates this locale; a machine without it fails every run. The
        // failure is not fatal, since a fatal one here would only mark the tests skipped.
        if (!std::setlocale(LC_ALL, commaLocale)) {
            ADD_FAILURE() << commaLocale << " is not installed: run scripts/install-deps.sh";
            return;
        }
        EXPECT_STREQ(std::localeconv()->decimal_point, ",");
        // The readers and converters that the tests start get the same locale.
        setenv("LC_ALL", commaLocale, 1);
    }
};

[[maybe_unused]] const ::testing::Environment* const registered
    = ::testing::AddGlobalTestEnvironment(new CommaDecimalLocale);

}
