#include "bench/BatchComparison.h"
#include "tests/bench/BenchCorpus.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

// Both sides of the comparison really convert: the job and the batch call each write a PDF for
// every document, and only then does a size count as complete.
TEST(BatchComparison, BothSidesWriteAPdfForEveryDocument)
{
    std::vector<std::filesystem::path> sources = benchtest::wordDocuments(2);
    if (sources.size() < 2)
        GTEST_SKIP() << "no corpus beside this checkout";
    TemporaryFolder scratch;
    BatchComparison comparison(sources, scratch.path());
    ASSERT_TRUE(comparison.warmUp());

    BatchComparison::Result result = comparison.run(3);
    EXPECT_EQ(result.documents, 3u);
    EXPECT_TRUE(result.job.succeeded);
    EXPECT_TRUE(result.batch.succeeded);
    EXPECT_EQ(result.job.pdfs, 3);
    EXPECT_EQ(result.batch.pdfs, 3);
    EXPECT_TRUE(result.complete());
    EXPECT_GT(result.job.seconds, 0);
    EXPECT_GT(result.batch.seconds, 0);
}

// One soffice call leaves out what lies past about 247 arguments, so a large batch is split; the
// parts together must still convert every document.
TEST(BatchComparison, SplitsALargeBatchIntoCallsThatConvertEveryDocument)
{
    std::vector<std::filesystem::path> sources = benchtest::wordDocuments(2);
    if (sources.size() < 2)
        GTEST_SKIP() << "no corpus beside this checkout";
    TemporaryFolder scratch;
    BatchComparison comparison(sources, scratch.path(), 2);
    ASSERT_TRUE(comparison.warmUp());

    BatchComparison::Result result = comparison.run(5);
    EXPECT_EQ(result.batch.calls, 3);
    EXPECT_EQ(result.batch.pdfs, 5);
    EXPECT_EQ(result.job.calls, 1);
    EXPECT_TRUE(result.complete());
}
