#include "filelist/RelayJobStarter.h"

#include "filelist/PublishingDoneRelay.h"
#include "filelist/RunningJobs.h"
#include "foundation/Exception.h"
#include "publishing/notifier/EncodingNotifier.h"

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
    // The relay destroys itself once the job's end has reached it, and at no other time: the job
    // cannot end before this, as its end comes through this thread's event loop.
    QObject::connect(window, &QObject::destroyed, std::move(ended));
}
