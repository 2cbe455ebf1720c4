#include "cli/PublishSessions.h"

#include "cli/PublishTerminal.h"
#include "cli/TerminalNotifier.h"
#include "foundation/LinkedList.h"
#include "foundation/String.h"
#include "foundation/Thread.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "platform/InterruptWatcher.h"
#include "platform/WindowMessages.h"
#include "publishing/PasswordEncryptionThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {

// Stands in for the file list window: it learns of each job's end from WM_PUBLISHING_DONE and
// ends the event loop after the last one.
class JobEndReceiver : public QObject {
public:
    explicit JobEndReceiver(size_t jobs)
        : m_running(jobs)
    {
    }

    bool event(QEvent* event) override
    {
        if (event->type() != static_cast<QEvent::Type>(WM_PUBLISHING_DONE))
            return QObject::event(event);
        if (--m_running == 0)
            QCoreApplication::quit();
        return true;
    }

private:
    size_t m_running;
};

PasswordEncryptionThread* makeJob(QObject& receiver, int32_t command, const std::vector<size_t>& share,
    const std::shared_ptr<PublishTerminal>& terminal)
{
    LinkedList list;
    for (size_t index : share)
        list.addLast(std::make_unique<String>(terminal->documents()[index].c_str()));
    auto* job = new PasswordEncryptionThread(
        &receiver, list, command,
        [terminal, share, command] { return std::make_unique<TerminalNotifier>(terminal, share, command); },
        [] { return std::make_unique<office::LibreOfficeAutomation>(); });
    return job;
}

}

std::vector<std::vector<size_t>> PublishSessions::handOut(size_t count, size_t sessions)
{
    std::vector<std::vector<size_t>> shares(std::min(count, std::max<size_t>(sessions, 1)));
    for (size_t index = 0; index < count; ++index)
        shares[index % shares.size()].push_back(index);
    return shares;
}

void PublishSessions::run(int32_t command, size_t sessions, const std::shared_ptr<PublishTerminal>& terminal)
{
    int argc = 1;
    char name[] = "pressling-cli";
    char* argv[] = { name, nullptr };
    QCoreApplication application(argc, argv);
    const std::vector<std::vector<size_t>> shares = handOut(terminal->documents().size(), sessions);
    JobEndReceiver receiver(shares.size());
    // Every job is made before the watcher starts, so that a Ctrl-C finds all their threads.
    std::vector<PasswordEncryptionThread*> jobs;
    std::vector<uint32_t> threads;
    for (const std::vector<size_t>& share : shares) {
        jobs.push_back(makeJob(receiver, command, share, terminal));
        threads.push_back(jobs.back()->getThreadId());
    }
    {
        platform::InterruptWatcher interrupt([threads] {
            std::fprintf(stderr,
                "\npressling-cli: cancelling after the current document (interrupt again to stop at once)\n");
            for (uint32_t thread : threads)
                Thread::postThreadMessage(thread, WM_CANCEL_PUBLISHING, 0, 0);
        });
        for (PasswordEncryptionThread* job : jobs)
            job->start();
        QCoreApplication::exec();
    }
    // Each job destroys itself right after its last message; its queue is gone once it has.
    for (uint32_t thread : threads) {
        while (Thread::postThreadMessage(thread, 0, 0, 0))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    terminal->runEnded();
}
