#include "ScriptedListing.h"

#include "shell/OfficeCheck.h"
#include "shell/OfficeCheckWindow.h"
#include "shell/StartupCancel.h"
#include "tests/support/AnsweringMessageBox.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TemporaryRegistry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Closes the check window as a user would, as soon as the check is under way.
void closeCheckWindowWhenShown()
{
    QTimer::singleShot(0, [] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* check = qobject_cast<OfficeCheckWindow*>(window); check && !check->hasGone())
                check->close();
        }
    });
}

}

// With no office application open, or none that can be looked for, the start goes on at once;
// a cancel left over from an earlier check does not count.
TEST(OfficeCheck, StartGoesOnWhenNoOfficeIsOpenOrNoneCanBeSeen)
{
    TemporaryRegistry registry;
    LogCapture log;
    StartupCancel::set();
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(startupCheckCancelled(ScriptedListing({ noOffices }).listing()));
    EXPECT_FALSE(startupCheckCancelled(ScriptedListing({ std::nullopt }).listing()));
    EXPECT_LT(timer.elapsed(), 3000);
    EXPECT_EQ(
        log.count("OfficeApplicationMonitor#run,1,Office applications cannot be looked for in this session"),
        1);
}

// Confirming the close of the check window cancels the start, though an office is still open.
TEST(OfficeCheck, ConfirmedCloseCancelsTheStart)
{
    TemporaryRegistry registry;
    AnsweringMessageBox box(MessageBox::Answer::Ok);
    ScriptedListing script({ std::vector { officeWindow("Letter - LibreOffice Writer") } });
    closeCheckWindowWhenShown();
    EXPECT_TRUE(startupCheckCancelled(script.listing()));
    EXPECT_EQ(box.asked, 1);
    EXPECT_TRUE(StartupCancel::isSet());
    StartupCancel::clear();
}
