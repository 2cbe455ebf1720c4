#include "platform/EnvironmentVariables.h"

#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

using platform::expandEnvironmentVariables;

TEST(EnvironmentVariables, BothFormsOfReferenceAreExpanded)
{
    ScopedEnvironment folder("PRESSLING_TEST_FOLDER", "/opt/office suite");
    ScopedEnvironment empty("PRESSLING_TEST_EMPTY", "");
    EXPECT_EQ(expandEnvironmentVariables("$PRESSLING_TEST_FOLDER/bin"), "/opt/office suite/bin");
    EXPECT_EQ(expandEnvironmentVariables("${PRESSLING_TEST_FOLDER}x"), "/opt/office suitex");
    EXPECT_EQ(expandEnvironmentVariables("%PRESSLING_TEST_FOLDER%\\soffice"), "/opt/office suite\\soffice");
    EXPECT_EQ(expandEnvironmentVariables("a$PRESSLING_TEST_EMPTY-b"), "a-b");
}

// A name that is not set, and a lone "$" or "%", are text of the command and must stay in it.
TEST(EnvironmentVariables, WhatNamesNoSetVariableStaysAsWritten)
{
    unsetenv("PRESSLING_TEST_UNSET");
    for (const char* text : { "$PRESSLING_TEST_UNSET/bin", "${PRESSLING_TEST_UNSET}",
             "%PRESSLING_TEST_UNSET%", "100%", "%%", "$", "${unterminated", "50% and 60%", "$1x", "" })
        EXPECT_EQ(expandEnvironmentVariables(text), text);
}
