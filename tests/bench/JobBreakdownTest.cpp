#include "bench/JobBreakdown.h"
#include "bench/BreakdownReport.h"
#include "bench/DocumentCopies.h"
#include "bench/StepClock.h"
#include "bench/StepNames.h"
#include "tests/bench/BenchCorpus.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TemporaryRegistry.h"

#include <gtest/gtest.h>

namespace {

class JobBreakdownTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sources = benchtest::wordDocuments(2);
        if (sources.size() < 2)
            GTEST_SKIP() << "no corpus beside this checkout";
    }

    TemporaryRegistry registry;
    TemporaryFolder home;
    ScopedEnvironment homeVariable { "HOME", home.path() };
    TemporaryFolder folder;
    std::vector<std::filesystem::path> sources;
};

}

// The real job publishes every document, and each document's Word calls fall between its
// progress line and its row: a call counted for the wrong document would make some document's
// calls outlast the document itself.
TEST_F(JobBreakdownTest, PublishesEveryDocumentWithItsCallsInsideItsOwnTime)
{
    std::vector<std::string> copies = DocumentCopies::make(sources, 3, folder.path());
    JobBreakdown::Result result = JobBreakdown::run(copies);

    EXPECT_TRUE(result.allOk());
    EXPECT_EQ(result.record->resultTexts, (std::vector<std::string> { "OK", "OK", "OK" }));
    EXPECT_EQ(DocumentCopies::countPdfs(folder.path()), 3);
    ASSERT_EQ(result.officeCalls->documentCount(), 3u);
    BreakdownReport report(*result.officeCalls, StepClock(), *result.record);
    std::vector<double> totals = report.documentTimes();
    std::vector<double> calls = BreakdownReport::sumOf(*result.officeCalls, BreakdownReport::officeSteps());
    ASSERT_EQ(totals.size(), 3u);
    ASSERT_EQ(calls.size(), 3u);
    for (size_t i = 0; i < totals.size(); ++i) {
        EXPECT_GT(result.officeCalls->perDocument(stepName::load)[i], 0);
        EXPECT_GT(result.officeCalls->perDocument(stepName::store)[i], 0);
        EXPECT_LE(calls[i], totals[i]);
    }
    // Three documents leave two gaps between a row and the next progress line.
    EXPECT_EQ(report.pausesBetween().size(), 2u);
    EXPECT_GT(result.officeCalls->outsideDocuments(stepName::officeStart), 0);
    EXPECT_GT(result.seconds, 0);
}

// The benchmark's exit status rests on this: a document that is not OK is seen.
TEST_F(JobBreakdownTest, SeesADocumentThatIsNotOk)
{
    std::vector<std::string> copies = DocumentCopies::make(sources, 1, folder.path());
    copies.push_back(folder.file("vanished.docx"));
    JobBreakdown::Result result = JobBreakdown::run(copies);

    EXPECT_FALSE(result.allOk());
    EXPECT_EQ(result.record->resultTexts, (std::vector<std::string> { "OK", "NG" }));
    EXPECT_EQ(result.record->succeeded, 1);
    EXPECT_TRUE(result.record->summaryShown);
}
