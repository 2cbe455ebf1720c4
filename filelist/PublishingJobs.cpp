#include "filelist/PublishingJobs.h"

#include "publishing/PublishingJobObserver.h"
#include "publishing/SessionCount.h"
#include "publishing/notifier/EncodingNotifier.h"

#include <QEventLoop>
#include <QMetaObject>

#include <algorithm>

// One running job with the observer that brings its news to the GUI thread. The observer is
// called on the job's thread; a queued call to the jobs object, which outlives every job, is
// carried out on the GUI thread, or dropped there if the program is already past it.
class PublishingJobs::Job final : public PublishingJobObserver {
public:
    Job(PublishingJobs& jobs, std::function<void()> ended)
        : m_jobs(&jobs)
        , m_ended(std::move(ended))
    {
    }

    void sessionEnded() override { m_jobs->sessionEnded(); }

    void jobEnded() override
    {
        QMetaObject::invokeMethod(
            m_jobs, [jobs = m_jobs, job = this] { jobs->jobEnded(job); }, Qt::QueuedConnection);
    }

    // Outlives the job: the jobs object joins every job before it goes.
    PublishingJobs* m_jobs;
    std::function<void()> m_ended;
    std::unique_ptr<PasswordEncryptionThread> m_thread;
};

PublishingJobs::PublishingJobs(Factories factories, QObject* parent)
    : QObject(parent)
    , m_factories(std::move(factories))
{
}

PublishingJobs::~PublishingJobs()
{
    waitUntilAllEnded();
}

void PublishingJobs::startJob(const LinkedList& paths, int32_t command, std::function<void()> ended)
{
    PasswordEncryptionThread::NotifierFactory notifier = m_factories.notifier;
    if (!notifier) {
        notifier = [owner = m_mainWindow] { return std::make_unique<EncodingNotifier>(owner); };
    }
    auto job = std::make_unique<Job>(*this, std::move(ended));
    job->m_thread = std::make_unique<PasswordEncryptionThread>(job.get(), paths, command,
        SessionCount::forJob(paths.getSize()), std::move(notifier), m_factories.automation);
    m_jobs.push_back(std::move(job));
    m_jobs.back()->m_thread->start();
}

void PublishingJobs::jobEnded(Job* job)
{
    auto found = std::find_if(
        m_jobs.begin(), m_jobs.end(), [job](const std::unique_ptr<Job>& held) { return held.get() == job; });
    if (found == m_jobs.end())
        return;
    // The job tells its end as its last act, so the join waits only for its thread to return.
    std::unique_ptr<Job> ended = std::move(*found);
    m_jobs.erase(found);
    ended->m_thread->join();
    if (ended->m_ended)
        ended->m_ended();
    if (m_jobs.empty())
        emit allEnded();
}

void PublishingJobs::waitUntilAllEnded()
{
    if (m_jobs.empty())
        return;
    QEventLoop loop;
    connect(this, &PublishingJobs::allEnded, &loop, &QEventLoop::quit);
    loop.exec();
}

void PublishingJobs::sessionEnded()
{
    QMetaObject::invokeMethod(
        this, [this] { bringMainWindowToFront(); }, Qt::QueuedConnection);
}

void PublishingJobs::bringMainWindowToFront()
{
    if (!m_mainWindow)
        return;
    m_mainWindow->raise();
    m_mainWindow->activateWindow();
}
