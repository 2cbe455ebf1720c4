#include "shell/OfficeApplicationMonitor.h"

#include "foundation/Log.h"
#include "shell/OfficeApplicationIcon.h"
#include "shell/OfficeApplicationList.h"

#include <QCoreApplication>
#include <QPointer>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

// What the watcher shares with the GUI thread and with its owner.
struct OfficeApplicationMonitor::Shared {
    // Touched on the GUI thread only.
    QPointer<OfficeApplicationList> list;
    std::function<void()> noneLeft;
    // Set on the GUI thread while there is a list to fill; read by the watcher.
    std::atomic<bool> hasList { false };

    std::mutex mutex;
    std::condition_variable ended;
    bool hasEnded = false;
};

namespace {

// Four slices of half a second: the two seconds between passes, and how soon the watcher notices
// that it is to stop.
constexpr int pauseSlices = 4;
constexpr auto pauseSlice = 500ms;

}

OfficeApplicationMonitor::OfficeApplicationMonitor(Listing listing)
    : m_listing(std::move(listing))
    , m_shared(std::make_shared<Shared>())
{
}

OfficeApplicationMonitor::~OfficeApplicationMonitor()
{
    keepRunning = false;
    if (!m_started)
        return;
    std::unique_lock lock(m_shared->mutex);
    m_shared->ended.wait(lock, [this] { return m_shared->hasEnded; });
}

void OfficeApplicationMonitor::setList(OfficeApplicationList* list, std::function<void()> noneLeft)
{
    m_shared->list = list;
    m_shared->noneLeft = std::move(noneLeft);
    m_shared->hasList = list != nullptr;
    if (list)
        QObject::connect(list, &QObject::destroyed, [shared = m_shared] { shared->hasList = false; });
}

int32_t OfficeApplicationMonitor::start()
{
    int32_t previous = Thread::start();
    if (previous >= 0)
        m_started = true;
    return previous;
}

void OfficeApplicationMonitor::run()
{
    // Signals the owner however run is left. It holds the shared part itself, because the owner,
    // woken by the signal, may destroy the monitor at once.
    struct EndOfRun {
        std::shared_ptr<Shared> shared;
        ~EndOfRun()
        {
            std::lock_guard lock(shared->mutex);
            shared->hasEnded = true;
            shared->ended.notify_all();
        }
    } endOfRun { m_shared };

    while (keepRunning) {
        if (!watchOnce())
            return;
        pause();
    }
}

// One look at the open office applications, shown on the list. False when watching is over:
// there is no list any more, or no office application is left.
bool OfficeApplicationMonitor::watchOnce()
{
    if (!m_shared->hasList)
        return false;
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
    for (int slice = 0; slice < pauseSlices && keepRunning && m_shared->hasList; ++slice)
        std::this_thread::sleep_for(pauseSlice);
}
