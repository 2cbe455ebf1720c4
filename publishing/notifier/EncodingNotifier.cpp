#include "publishing/notifier/EncodingNotifier.h"

#include "publishing/notifier/NotifierWindow.h"
#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

struct EncodingNotifier::Shared {
    // Touched on the GUI thread only.
    QPointer<NotifierWindow> window;
    QPointer<QWidget> owner;
    // Progress lines and rows not shown yet. With sessions side by side a job starts and
    // finishes dozens of documents a second; the window takes what came in one go at most ten
    // times a second, so that it paints once for many rows instead of the offices' processors
    // painting lines nobody can read.
    std::mutex pendingLock;
    std::vector<std::function<void(NotifierWindow&)>> pending;
    bool flushScheduled = false;
    // Set on the GUI thread when the window is gone; the job thread waits for it.
    std::mutex lock;
    std::condition_variable changed;
    bool closed = false;

    // On the GUI thread: what came so far, in the order it came.
    void flush()
    {
        std::vector<std::function<void(NotifierWindow&)>> taken;
        {
            std::lock_guard guard(pendingLock);
            taken.swap(pending);
            flushScheduled = false;
        }
        for (const auto& show : taken) {
            if (window)
                show(*window);
        }
    }

    void markClosed()
    {
        {
            std::lock_guard guard(lock);
            closed = true;
        }
        changed.notify_all();
    }
};

namespace {

// Runs work on the GUI thread: at once when already there, otherwise as a queued call, or as a
// blocking one when the caller needs the result before it goes on.
void onGuiThread(std::function<void()> work, bool wait = false)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    if (QThread::currentThread() == application->thread()) {
        work();
        return;
    }
    QMetaObject::invokeMethod(
        application, std::move(work), wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

// The available area of the screen that the owner's window is on, or of the primary screen for a
// job without an owner.
QRect screenAreaOf(const QWidget* owner)
{
    const QScreen* screen = owner ? owner->window()->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QString fromNarrow(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

constexpr int flushMilliseconds = 100;

// Keeps show for the window's next flush, which is scheduled unless one is already; on the GUI
// thread itself there is no flood to gather, and show runs at once.
void showSoon(
    const std::shared_ptr<EncodingNotifier::Shared>& shared, std::function<void(NotifierWindow&)> show)
{
    QCoreApplication* application = QCoreApplication::instance();
    if (application && QThread::currentThread() == application->thread()) {
        shared->flush();
        if (shared->window)
            show(*shared->window);
        return;
    }
    {
        std::lock_guard guard(shared->pendingLock);
        shared->pending.push_back(std::move(show));
        if (shared->flushScheduled)
            return;
        shared->flushScheduled = true;
    }
    onGuiThread([shared] {
        QTimer::singleShot(flushMilliseconds, QCoreApplication::instance(), [shared] { shared->flush(); });
    });
}

}

EncodingNotifier::EncodingNotifier(QPointer<QWidget> owner)
    : m_owner(std::move(owner))
    , m_shared(std::make_shared<Shared>())
{
}

EncodingNotifier::~EncodingNotifier()
{
    if (m_created)
        destroyWindow();
}

void EncodingNotifier::create(std::function<void()> cancel)
{
    m_created = true;
    auto shared = m_shared;
    onGuiThread(
        [shared, owner = m_owner, cancel = std::move(cancel)] {
            shared->owner = owner;
            auto* window = new NotifierWindow(owner, screenAreaOf(owner), cancel);
            QObject::connect(window, &QObject::destroyed, [shared] { shared->markClosed(); });
            shared->window = window;
            window->show();
        },
        true);
    if (!QCoreApplication::instance())
        m_shared->markClosed();
}

void EncodingNotifier::showProgress(const char* text)
{
    showSoon(m_shared, [line = fromNarrow(text)](NotifierWindow& window) { window.showProgress(line); });
}

void EncodingNotifier::addResult(const char* path, const char* resultText, int32_t successMark)
{
    showSoon(m_shared,
        [name = fromNarrow(path), result = fromNarrow(resultText), successMark](
            NotifierWindow& window) { window.addResult(name, result, successMark); });
}

// Whatever else the job does with the window comes after the lines and rows before it.
void EncodingNotifier::showSummary(const char* text)
{
    onGuiThread([shared = m_shared, line = fromNarrow(text)] {
        shared->flush();
        if (shared->window)
            shared->window->showSummary(line);
    });
}

// The box has no owner, as the publishers' boxes never had one; the job stands still until the
// user has dismissed it.
void EncodingNotifier::showMessage(const char* caption, const char* text)
{
    onGuiThread(
        [shared = m_shared, title = fromNarrow(caption), line = fromNarrow(text)] {
            shared->flush();
            MessageBox::current().show(
                nullptr, title, line, MessageBox::Buttons::Ok, MessageBox::Icon::Error);
        },
        true);
}

void EncodingNotifier::waitForClose()
{
    // The window is served by the GUI thread, so the job only has to wait here; a cancel that
    // comes now finds nothing left to stop.
    std::unique_lock guard(m_shared->lock);
    m_shared->changed.wait(guard, [this] { return m_shared->closed; });
}

void EncodingNotifier::hide()
{
    onGuiThread([shared = m_shared] {
        shared->flush();
        if (shared->window)
            shared->window->hide();
        if (shared->owner)
            shared->owner->setEnabled(true);
    });
}

void EncodingNotifier::destroyWindow()
{
    m_created = false;
    onGuiThread([shared = m_shared] {
        shared->flush();
        if (shared->owner)
            shared->owner->setEnabled(true);
        delete shared->window.data();
        shared->markClosed();
    });
}
