#include "bench/TimedAutomation.h"
#include "bench/StepClock.h"
#include "bench/StepNames.h"
#include "tests/bench/BenchCorpus.h"
#include "office/ComError.h"
#include "office/ExcelApplication.h"
#include "office/OfficeFormat.h"
#include "office/WordApplication.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "tests/support/ReadFile.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

class TimedAutomationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        documents = benchtest::wordDocuments(2);
        if (documents.size() < 2)
            GTEST_SKIP() << "no corpus beside this checkout";
        automation
            = std::make_unique<TimedAutomation>(std::make_unique<office::LibreOfficeAutomation>(), clock);
        ASSERT_EQ(automation->createApplication("Word.Application", word), office::hresult::ok);
    }

    std::vector<std::filesystem::path> documents;
    std::shared_ptr<StepClock> clock = std::make_shared<StepClock>();
    std::unique_ptr<TimedAutomation> automation;
    std::shared_ptr<office::WordApplication> word;
    TemporaryFolder output;
};

}

// The session asks for Word by interface; the timed Word must be one, and its calls must reach
// the real office (the PDFs are there) and land in the step and the document they belong to.
TEST_F(TimedAutomationTest, TimesEveryWordCallInItsStepAndDocument)
{
    word->setDisplayAlerts(0);
    for (const auto& document : documents) {
        clock->beginDocument();
        word->setAutomationSecurity(office::automationSecurity::forceDisable);
        word->setVisible(false);
        std::shared_ptr<office::WordDocument> opened = word->documents()->open(document.string());
        ASSERT_TRUE(opened);
        EXPECT_FALSE(opened->readOnlyRecommended());
        std::string pdf = output.file(document.filename().string() + ".pdf");
        EXPECT_EQ(opened->saveAs(pdf, office::wordFormat::pdf), 0);
        EXPECT_EQ(opened->close(), 0);
        clock->endDocument();
        EXPECT_EQ(readFile(pdf).substr(0, 5), "%PDF-");
    }
    word->quit();

    ASSERT_EQ(clock->documentCount(), 2u);
    for (const char* step : { stepName::load, stepName::store, stepName::close, stepName::readOnlyCheck,
             stepName::macroSecurity, stepName::alertsAndVisibility, stepName::documents }) {
        for (double value : clock->perDocument(step))
            EXPECT_GT(value, 0) << step;
    }
    // A store of a real document takes longer than the question whether it is read-only.
    EXPECT_GT(clock->perDocument(stepName::store)[0], clock->perDocument(stepName::readOnlyCheck)[0]);
    EXPECT_GT(clock->outsideDocuments(stepName::officeStart), 0);
    EXPECT_GT(clock->outsideDocuments(stepName::alertsAndVisibility), 0);
    EXPECT_GT(clock->outsideDocuments(stepName::quit), 0);
    EXPECT_EQ(clock->outsideDocuments(stepName::load), 0);
}

// A load that fails is the office's answer too: it is timed and reaches the publisher unchanged.
TEST_F(TimedAutomationTest, TimesAFailedLoadAndPassesItsErrorOn)
{
    clock->beginDocument();
    EXPECT_THROW(word->documents()->open(output.file("missing.docx")), office::ComError);
    clock->endDocument();
    EXPECT_GT(clock->perDocument(stepName::load)[0], 0);
    EXPECT_EQ(clock->perDocument(stepName::store)[0], 0);
}

// Only Word is timed; the other applications are handed out as the office made them.
TEST_F(TimedAutomationTest, HandsOutOtherApplicationsAsTheyAre)
{
    std::shared_ptr<office::ExcelApplication> excel;
    EXPECT_EQ(automation->createApplication("Excel.Application", excel), office::hresult::ok);
    ASSERT_TRUE(excel);
    EXPECT_EQ(excel->workbooks()->count(), 0);
    std::shared_ptr<office::WordApplication> none;
    EXPECT_LT(automation->createApplication("Nothing.Application", none), 0);
    EXPECT_FALSE(none);
}
