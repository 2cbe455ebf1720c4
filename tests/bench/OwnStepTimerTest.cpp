#include "bench/OwnStepTimer.h"
#include "bench/DocumentCopies.h"
#include "bench/StepClock.h"
#include "bench/StepNames.h"
#include "tests/bench/BenchCorpus.h"
#include "tests/support/ReadFile.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TemporaryRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace {

class OwnStepTimerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sources = benchtest::wordDocuments(3);
        if (sources.size() < 3)
            GTEST_SKIP() << "no corpus beside this checkout";
        copies = DocumentCopies::make(sources, 3, folder.path());
    }

    TemporaryRegistry registry;
    TemporaryFolder folder;
    std::vector<fs::path> sources;
    std::vector<std::string> copies;
    std::shared_ptr<StepClock> clock = std::make_shared<StepClock>();
};

}

// protect's steps without the office leave the folder as they found it: every backup made is
// removed again, and each document's steps are in its own slot.
TEST_F(OwnStepTimerTest, TimesEveryStepAndLeavesTheDocumentsAsTheyWere)
{
    OwnStepTimer timer(clock);
    for (const std::string& copy : copies)
        EXPECT_TRUE(timer.timeDocument(copy)) << copy;

    ASSERT_EQ(clock->documentCount(), 3u);
    for (const char* step : { stepName::leftoverSweep, stepName::checks, stepName::settingsRead,
             stepName::backupCopy, stepName::makeWritable, stepName::backupRemoval }) {
        for (double value : clock->perDocument(step))
            EXPECT_GT(value, 0) << step;
    }
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected;
    for (const auto& source : sources)
        expected.push_back(source.filename().string());
    EXPECT_EQ(names, expected);
    for (size_t i = 0; i < copies.size(); ++i)
        EXPECT_EQ(readFile(copies[i]), readFile(sources[i].string()));
}

// A read-only document is made writable and read-only again, as protect does around the office.
TEST_F(OwnStepTimerTest, PutsTheModeOfAReadOnlyDocumentBack)
{
    fs::permissions(copies[0], fs::perms::owner_read | fs::perms::group_read);
    OwnStepTimer timer(clock);
    EXPECT_TRUE(timer.timeDocument(copies[0]));
    EXPECT_EQ(fs::status(copies[0]).permissions(), fs::perms::owner_read | fs::perms::group_read);
}

// What protect refuses never gets a backup, and the timer says it would not have reached the
// office.
TEST_F(OwnStepTimerTest, RefusesWhatProtectRefuses)
{
    std::string pdf = folder.write("published.docx.pdf", "%PDF-1.7");
    OwnStepTimer timer(clock);
    EXPECT_FALSE(timer.timeDocument(pdf));
    EXPECT_FALSE(timer.timeDocument(folder.file("missing.docx")));
    EXPECT_EQ(clock->documentCount(), 2u);
    EXPECT_EQ(clock->perDocument(stepName::backupCopy), (std::vector<double> { 0, 0 }));
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.path()))
        ++entries;
    EXPECT_EQ(entries, copies.size() + 1);
}
