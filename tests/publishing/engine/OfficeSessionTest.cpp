#include "EngineTestSupport.h"
#include "tests/support/LogCapture.h"

#include "foundation/Exception.h"
#include "office/ComError.h"
#include "publishing/OfficeApplication.h"
#include "publishing/OfficeVersion.h"
#include "publishing/PublishFormat.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::unique_ptr<OfficeApplication> openSession(
    const std::shared_ptr<OfficeScript>& script, int word, int powerPoint, int excel)
{
    return std::make_unique<OfficeApplication>(
        std::make_unique<ScriptedAutomation>(script), word, powerPoint, excel);
}

class OfficeSessionTest : public ::testing::Test {
protected:
    void SetUp() override { OfficeVersion::resetCache(); }
};

}

// Catches a session that starts applications nobody asked for.
TEST_F(OfficeSessionTest, NoCountsStartNoApplicationAndEndTheOffice)
{
    TestRegistry registry;
    auto script = std::make_shared<OfficeScript>();
    openSession(script, 0, 0, 0).reset();
    EXPECT_EQ(script->indexOf("create("), -1);
    EXPECT_EQ(script->automationsDestroyed, 1);
}

// Catches PowerPoint being started for a job without presentations, or Excel set up out of order.
TEST_F(OfficeSessionTest, WordAndExcelOnlyWithExcelSettingsInOrder)
{
    TestRegistry registry;
    auto script = std::make_shared<OfficeScript>();
    auto session = openSession(script, 2, 0, 1);
    EXPECT_TRUE(script->called("create(Word.Application)"));
    EXPECT_TRUE(script->called("create(Excel.Application)"));
    EXPECT_FALSE(script->called("create(PowerPoint.Application)"));
    EXPECT_EQ(session->getPowerPointVersion(), 0);
    EXPECT_GE(session->getWordVersion(), 12);
    EXPECT_TRUE(session->isOffice2007Convertible());
    int visible = script->indexOf("Excel.setVisible(0)");
    int alerts = script->indexOf("Excel.setDisplayAlerts(0)");
    int info = script->indexOf("Excel.setDisplayInfoWindow(0)");
    int interactive = script->indexOf("Excel.setInteractive(0)");
    int screen = script->indexOf("Excel.setScreenUpdating(0)");
    EXPECT_TRUE(
        visible >= 0 && visible < alerts && alerts < info && info < interactive && interactive < screen);
    EXPECT_TRUE(script->called("Word.setScreenUpdating(0)"));
    EXPECT_TRUE(script->called("Word.setDisplayAlerts(0)"));
    session.reset();
    EXPECT_TRUE(script->called("Word.quit"));
    EXPECT_TRUE(script->called("Excel.quit"));
}

// Catches a failed start that is reported as success, or that leaves started applications running.
TEST_F(OfficeSessionTest, ApplicationThatFailsToStartThrows201)
{
    TestRegistry registry;
    auto script = std::make_shared<OfficeScript>();
    script->createResults["Excel.Application"] = office::hresult::classNotRegistered;
    try {
        openSession(script, 1, 0, 1);
        FAIL() << "no exception";
    } catch (const Exception& error) {
        EXPECT_EQ(error.getErrorCode(), 201);
        EXPECT_STREQ(error.getMessage(), "OfficeApplication#OfficeApplication,7,Failed to create Excel");
    }
    EXPECT_TRUE(script->called("Word.quit"));
    EXPECT_EQ(script->automationsDestroyed, 1);
}

// Catches a configuration failure that is swallowed instead of leaving the constructor.
TEST_F(OfficeSessionTest, ConfigurationFailureLeavesAsComError)
{
    TestRegistry registry;
    auto script = std::make_shared<OfficeScript>();
    script->failingConfiguration = "Word";
    EXPECT_THROW(openSession(script, 1, 0, 0), office::ComError);
}

// Catches an out-of-range level passed to the office, and the level applied only to old formats.
TEST_F(OfficeSessionTest, MacroSecurityLevelReachesEveryDocument)
{
    for (const char* level : { "dword:00000000", "dword:00000004", "" }) {
        TestRegistry registry(0, level);
        auto script = std::make_shared<OfficeScript>();
        EXPECT_EQ(openSession(script, 0, 0, 0)->getMacroSecurityLevel(), 3) << level;
    }
    TestRegistry registry(0, "dword:00000001");
    auto script = std::make_shared<OfficeScript>();
    auto session = openSession(script, 0, 0, 0);
    EXPECT_EQ(session->getMacroSecurityLevel(), 1);
    TemporaryFolder folder;
    std::string document = folder.write("macro.docm", "document");
    std::string workbook = folder.write("macro.xlsm", "workbook");
    ASSERT_EQ(session->protect(document.c_str(), ID_PUBLISH_AS_PDF), 0);
    int security = script->indexOf("Word.setAutomationSecurity(1)");
    EXPECT_GE(security, 0);
    EXPECT_LT(security, script->indexOf("Word.open("));
    ASSERT_EQ(session->protect(workbook.c_str(), ID_PUBLISH_AS_PDF), 0);
    security = script->indexOf("Excel.setAutomationSecurity(1)");
    EXPECT_GE(security, 0);
    EXPECT_LT(security, script->indexOf("Excel.open("));
}

// Catches PowerPoint quit while it still holds someone's presentation.
TEST_F(OfficeSessionTest, PowerPointWithOpenPresentationIsLeftRunning)
{
    TestRegistry registry;
    auto script = std::make_shared<OfficeScript>();
    script->powerPointOpenPresentations = 1;
    script->excelOpenWorkbooks = 1;
    openSession(script, 0, 1, 1).reset();
    EXPECT_FALSE(script->called("PowerPoint.quit"));
    EXPECT_TRUE(script->called("PowerPoint.setWindowState(2)"));
    EXPECT_FALSE(script->called("Excel.quit"));

    auto idle = std::make_shared<OfficeScript>();
    openSession(idle, 0, 1, 0).reset();
    EXPECT_TRUE(idle->called("PowerPoint.quit"));
}

// Catches an office recorded below 12 but still treated as reading the 2007 formats, and a later
// office (14) wrongly refused.
TEST_F(OfficeSessionTest, Office2007ConvertibleFromVersion12On)
{
    {
        TestRegistry registry(11);
        auto script = std::make_shared<OfficeScript>();
        auto session = openSession(script, 1, 0, 0);
        EXPECT_EQ(session->getWordVersion(), 11);
        EXPECT_FALSE(session->isOffice2007Convertible());
        // Below 12 the level is set as soon as Word runs.
        EXPECT_TRUE(script->called("Word.setAutomationSecurity(3)"));
    }
    TestRegistry registry(14);
    auto script = std::make_shared<OfficeScript>();
    EXPECT_TRUE(openSession(script, 1, 0, 0)->isOffice2007Convertible());
}

// Catches the box asked of a session that has nobody to show it, and a save status that still
// counts as published when someone is told.
TEST_F(OfficeSessionTest, WordSaveStatusGoesToTheNotifierWhenThereIsOne)
{
    TestRegistry registry;
    TemporaryFolder folder;
    std::string document = folder.write("status.doc", "document");
    auto script = std::make_shared<OfficeScript>();
    script->documents[document].saveStatus = 1;
    auto session = openSession(script, 1, 0, 0);
    EXPECT_EQ(session->protect(document.c_str(), ID_PUBLISH_AS_TEXT), 203);

    auto record = std::make_shared<RecordingNotifier::Record>();
    RecordingNotifier notifier(record);
    session->setNotifier(&notifier);
    EXPECT_EQ(session->protect(document.c_str(), ID_PUBLISH_AS_TEXT), 203);
    EXPECT_EQ(record->messages, (std::vector<std::pair<std::string, std::string>> { { "Error", "Error" } }));
    EXPECT_EQ(readFile(document), "document");
    // A save that gives no status is not asked about, even when it leaves no output.
    script->documents[document] = OfficeScript::Document {};
    script->documents[document].saveWritesOutput = false;
    std::filesystem::remove(document + ".txt");
    EXPECT_EQ(session->protect(document.c_str(), ID_PUBLISH_AS_TEXT), 203);
    EXPECT_EQ(record->messages.size(), 1u);
}
