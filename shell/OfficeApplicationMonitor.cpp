#include "shell/OfficeApplicationMonitor.h"

#include "foundation/Log.h"
#include "shell/OfficeApplicationIcon.h"
#include "shell/OfficeApplicationList.h"

#include <QCoreApplication>
#include <QPointer>

#include <chrono>
#include <condition_variable>
#include <mutex>


// What the watcher shares with the GUI thread and with its owner.
struct OfficeApplicationMonitor::Shared {
    // Touched on the GUI thread only.
    QPointer<OfficeApplicationList> list;
    std::function<void()> noneLeft;

    // The watcher's pause ends early when either of these changes.
    std::mutex mutex;
    std::condition_variable wake;
    // Set on the GUI thread while there is a list to fill.
    bool hasList = false;
    bool stopRequested = false;

    void change(bool Shared::*flag, bool value)
    {
        {
            std::lock_guard lock(mutex);
            this->*flag = value;
        }
        wake.notify_all();
    }
    bool goesOn()
    {
        std::lock_guard lock(mutex);
        return hasList && !stopRequested;
    }
};

OfficeApplicationMonitor::OfficeApplicationMonitor(Listing listing, std::chrono::milliseconds interval)
    : m_listing(std::move(listing))
    , m_interval(interval)
    , m_shared(std::make_shared<Shared>())
{
}

OfficeApplicationMonitor::~OfficeApplicationMonitor()
{
    requestStop();
    join();
}

void OfficeApplicationMonitor::requestStop()
{
    m_shared->change(&Shared::stopRequested, true);
}

void OfficeApplicationMonitor::setList(OfficeApplicationList* list, std::function<void()> noneLeft)
{
    m_shared->list = list;
    m_shared->noneLeft = std::move(noneLeft);
    m_shared->change(&Shared::hasList, list != nullptr);
    if (list) {
        QObject::connect(
            list, &QObject::destroyed, [shared = m_shared] { shared->change(&Shared::hasList, false); });
    }
}

void OfficeApplicationMonitor::run()
{
    while (m_shared->goesOn()) {
        if (!watchOnce())
            return;
        pause();
    }
}

// One look at the open office applications, shown on the list. False when watching is over:
// there is no list any more, or no office application is left.
bool OfficeApplicationMonitor::watchOnce()
{
    std::vector<OfficeApplicationRow> rows = currentRows();
    bool anyOpen = !rows.empty();
    showOnList(std::move(rows));
    return anyOpen;
}

std::vector<OfficeApplicationRow> OfficeApplicationMonitor::currentRows()
{
    std::optional<std::vector<office::OfficeInstance>> offices = m_listing();
    if (!offices) {
        // Refusing to start because nobody can look would lock the user out for good.
        logDebug("OfficeApplicationMonitor#run,1,Office applications cannot be looked for in this session");
        return {};
    }
    std::vector<OfficeApplicationRow> rows;
    for (const office::OfficeInstance& office : *offices)
        rows.push_back({ office.title, office.account, office.domain,
            OfficeApplicationIcon::lookUp(office.documentExtension) });
    return rows;
}

// The list and its window belong to the GUI thread, so the change is queued there, where the
// list may also turn out to be gone already.
void OfficeApplicationMonitor::showOnList(std::vector<OfficeApplicationRow> rows)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    QMetaObject::invokeMethod(
        application,
        [shared = m_shared, rows = std::move(rows)] {
            OfficeApplicationList* list = shared->list;
            if (!list)
                return;
            list->setRows(rows);
            QWidget* window = list->window();
            // The check window learns of it at the next turn of the event loop, after the
            // empty list has been drawn; a window gone by then takes the call with it.
            if (rows.empty()) {
                if (shared->noneLeft)
                    QMetaObject::invokeMethod(window, shared->noneLeft, Qt::QueuedConnection);
            } else if (window->isMinimized())
                window->showNormal();
        },
        Qt::QueuedConnection);
}

void OfficeApplicationMonitor::pause()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->wake.wait_for(
        lock, m_interval, [this] { return m_shared->stopRequested || !m_shared->hasList; });
}
