#include "tests/support/AnsweringMessageBox.h"
#include "EngineTestSupport.h"

#include "publishing/OfficeVersion.h"
#include "publishing/PublishFormat.h"
#include "publishing/notifier/EncodingNotifier.h"
#include "publishing/notifier/NotifierWindow.h"

#include <QApplication>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

NotifierWindow* findWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<NotifierWindow*>(widget))
            return window;
    }
    return nullptr;
}

}

// Catches Word's failure status passed over in silence, a box made on the job's thread, and a
// document that is counted as published although Word did not save it.
TEST(NotifierJob, WordSaveStatusShowsTheErrorBoxAndFailsTheDocument)
{
    OfficeVersion::resetCache();
    TestRegistry registry;
    TemporaryFolder folder;
    std::vector<std::string> paths
        = { folder.write("refused.doc", "refused"), folder.write("fine.doc", "fine") };
    auto script = std::make_shared<OfficeScript>();
    script->documents[paths[0]].saveStatus = 1;
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    int rowsWhileShown = -1;
    box.whileShown = [&] {
        if (NotifierWindow* window = findWindow())
            rowsWhileShown = window->resultList()->topLevelItemCount();
    };

    JobSetup setup;
    setup.notifiers = [] { return std::make_unique<EncodingNotifier>(); };
    setup.automations = [script] { return std::make_unique<ScriptedAutomation>(script); };
    DoneReceiver owner;
    JobCounters counters;
    std::unique_ptr<PasswordEncryptionThread> job
        = startJob(paths, ID_PUBLISH_AS_HTML, std::move(setup), &owner, counters);

    NotifierWindow* window = nullptr;
    ASSERT_TRUE(serveEventsUntil(
        [&] { return (window = findWindow()) && window->state() == NotifierWindow::State::Finished; },
        20000));
    QStringList results;
    for (int row = 0; row < window->resultList()->topLevelItemCount(); ++row)
        results << window->resultList()->topLevelItem(row)->text(0) + " "
                + window->resultList()->topLevelItem(row)->text(2);
    EXPECT_EQ(results, (QStringList { "fine.doc OK", "refused.doc NG" }));
    EXPECT_EQ(box.asked, 1);
    EXPECT_TRUE(box.onGuiThread);
    EXPECT_EQ(box.lastTitle, "Error");
    EXPECT_EQ(box.lastText, "Error");
    EXPECT_EQ(box.lastButtons, MessageBox::Buttons::Ok);
    // The box comes while the refused document is still in Word, before its row.
    EXPECT_EQ(rowsWhileShown, 0);

    window->closeButton()->click();
    ASSERT_TRUE(serveEventsUntil(
        [&] {
            // The closed window goes at the event loop's next turn, which these tests play.
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return owner.done > 0;
        },
        20000));
    job->join();
    job.reset();
    EXPECT_EQ(counters.destroyed, 1);
    EXPECT_EQ(readFile(paths[0]), "refused");
    EXPECT_EQ(owner.done, 1);
}
