#include "ScriptedListing.h"

#include "shell/OfficeApplicationList.h"
#include "shell/OfficeApplicationMonitor.h"
#include "tests/support/TemporaryRegistry.h"

#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace std::chrono_literals;

namespace {

// A watcher on a list of its own, which stands in for the check window.
struct WatchedList {
    explicit WatchedList(OfficeApplicationMonitor::Listing listing,
        std::chrono::milliseconds interval = std::chrono::seconds(2))
        : monitor(std::make_unique<OfficeApplicationMonitor>(std::move(listing), interval))
    {
        monitor->setList(list);
    }
    ~WatchedList()
    {
        monitor.reset();
        delete list;
    }

    // Destroys the monitor and tells how long that took.
    qint64 destroyMonitor()
    {
        QElapsedTimer timer;
        timer.start();
        monitor.reset();
        return timer.elapsed();
    }

    TemporaryRegistry registry;
    QPointer<OfficeApplicationList> list = new OfficeApplicationList(nullptr);
    std::unique_ptr<OfficeApplicationMonitor> monitor;
};

}

// Catches a stop request that is only seen between passes: with an hour between two looks, the
// watcher must still end at once when it is told to stop (else the test hangs).
TEST(OfficeApplicationMonitor, EndsAtOnceWhenToldToStop)
{
    ScriptedListing script({ std::vector { officeWindow("Letter - LibreOffice Writer") } });
    WatchedList watched(script.listing(), std::chrono::hours(1));
    watched.monitor->start();
    ASSERT_TRUE(script.waitForCalls(1));
    watched.monitor->requestStop();
    watched.monitor->join();
    EXPECT_EQ(script.calls(), 1);
}

// Catches a destructor that lets the object go while the watcher still runs on it: the listing
// in progress must have returned before the monitor is gone.
TEST(OfficeApplicationMonitor, DestroyingTheMonitorWaitsForTheWatcher)
{
    std::atomic<bool> listing { false };
    std::atomic<bool> returned { false };
    WatchedList watched([&]() -> ScriptedListing::Answer {
        listing = true;
        std::this_thread::sleep_for(400ms);
        returned = true;
        return std::vector { officeWindow("Slow - LibreOffice Writer") };
    });
    watched.monitor->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return listing.load(); }, 5000));
    watched.destroyMonitor();
    EXPECT_TRUE(returned);
}

// A watcher that was never started has nothing to wait for, and one without a list stops at once
// without looking: neither may hang its owner.
TEST(OfficeApplicationMonitor, WithoutAStartOrWithoutAListNothingIsListed)
{
    ScriptedListing script({ std::vector { officeWindow("Letter - LibreOffice Writer") } });
    {
        OfficeApplicationMonitor idle(script.listing());
    }
    {
        OfficeApplicationMonitor unattached(script.listing(), std::chrono::hours(1));
        unattached.start();
        // Ends by itself: nobody asks it to stop before this join.
        unattached.join();
    }
    EXPECT_EQ(script.calls(), 0);
}

// Catches a watcher that goes on looking, and on reporting to freed memory, once the check
// window's list has been destroyed.
TEST(OfficeApplicationMonitor, StopsWhenItsListIsGone)
{
    ScriptedListing script({ std::vector { officeWindow("Letter - LibreOffice Writer") } });
    WatchedList watched(script.listing(), std::chrono::hours(1));
    watched.monitor->start();
    ASSERT_TRUE(script.waitForCalls(1));
    delete watched.list;
    // The watcher leaves its hour-long pause by itself once the list is gone (else this hangs).
    watched.monitor->join();
    QCoreApplication::processEvents();
    EXPECT_EQ(script.calls(), 1);
}

// The watcher's rows carry the title, account and domain of each application, in ascending order
// of the titles regardless of case, and each pass replaces the rows of the last.
TEST(OfficeApplicationMonitor, RowsShowEachApplicationAndAreRebuiltOnEveryPass)
{
    ScriptedListing script({
        std::vector { officeWindow("Report - LibreOffice Writer", "alice", "desk7"),
            officeWindow("budget.xls - LibreOffice Calc", "bob", "desk9", ".xls") },
        std::vector { officeWindow("Slides - LibreOffice Impress", "carol", "desk3", ".ppt") },
    });
    WatchedList watched(script.listing());
    auto row = [&](int index) {
        QTreeWidgetItem* item = watched.list->topLevelItem(index);
        return item ? QStringList { item->text(0), item->text(1), item->text(2) } : QStringList();
    };
    watched.monitor->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return watched.list->topLevelItemCount() == 2; }, 5000));
    EXPECT_EQ(row(0), (QStringList { "budget.xls - LibreOffice Calc", "bob", "desk9" }));
    EXPECT_EQ(row(1), (QStringList { "Report - LibreOffice Writer", "alice", "desk7" }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return watched.list->topLevelItemCount() == 1; }, 5000));
    EXPECT_EQ(row(0), (QStringList { "Slides - LibreOffice Impress", "carol", "desk3" }));
    EXPECT_EQ(script.calls(), 2);
}
