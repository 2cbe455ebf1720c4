#include "filelist/RelayJobStarter.h"

#include "filelist/PublishingDoneRelay.h"
#include "filelist/RunningJobs.h"
#include "foundation/Exception.h"
#include "foundation/ThreadMessage.h"
#include "publishing/notifier/EncodingNotifier.h"

#include <QEvent>

namespace {

// Runs a job's end where the job reports it: on the job's relay, which outlives the list when it
// must. As the relay's child it goes with the relay, and it lets the message go on to the relay.
class JobEndWatch final : public QObject {
public:
    JobEndWatch(QObject* relay, std::function<void()> ended)
        : QObject(relay)
        , m_ended(std::move(ended))
    {
        relay->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == static_cast<QEvent::Type>(WM_PUBLISHING_DONE))
            m_ended();
        return false;
    }

private:
    std::function<void()> m_ended;
};

}

RelayJobStarter::RelayJobStarter(FileListView* list, JobFactories factories)
    : m_list(list)
    , m_factories(std::move(factories))
{
    if (!m_factories.notifier)
        m_factories.notifier = [] { return std::make_unique<EncodingNotifier>(); };
}

RelayJobStarter::~RelayJobStarter()
{
    PublishingDoneRelay::releaseAll(m_list);
}

void RelayJobStarter::startJob(const LinkedList& paths, int32_t command, std::function<void()> ended)
{
    auto* window = new PublishingDoneRelay(m_list);
    new JobEndWatch(window, std::move(ended));
    try {
        // The job owns itself from here on: it copies the paths and destroys itself at its end.
        auto* job = new PasswordEncryptionThread(
            window, paths, command, m_factories.notifier, m_factories.automation);
        RunningJobs::add(job->getThreadId());
        job->start();
    } catch (const Exception&) {
        delete window;
        throw;
    }
}
