#include "filelist/FileNameOrder.h"

#include <gtest/gtest.h>

// Catches an order that puts "report10.doc" before "report2.doc" or minds letter case, and one
// that leaves two names differing only in case in the order they came.
TEST(FileNameOrder, NumbersByValueWithoutRegardToCaseThenBytes)
{
    FileNameOrder order;
    auto before = [&](const char* a, const char* b) {
        return order.before(QString::fromUtf8(a), a, QString::fromUtf8(b), b);
    };
    EXPECT_TRUE(before("report2.doc", "report10.doc"));
    EXPECT_FALSE(before("report10.doc", "report2.doc"));
    EXPECT_TRUE(before("alpha.doc", "Beta.doc"));
    EXPECT_TRUE(before("A.doc", "a.doc"));
    EXPECT_FALSE(before("a.doc", "A.doc"));
}
