#pragma once

#include "filelist/PublishJobStarter.h"
#include "publishing/PasswordEncryptionThread.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <vector>

// The publishing jobs of the desktop program. A job lives on after the window that started it (it
// waits for its notifier to be closed and ends its office first), so the program must not end
// under it: it would leave the job's backups and its private office behind. This object keeps
// every job it started, hears of their ends through their observers on the GUI thread, and joins
// each job there; it is made before the main window and outlives it. Used on the GUI thread only.
class PublishingJobs final : public QObject, public PublishJobStarter {
    Q_OBJECT

public:
    // How each job gets its notifier (the notifier window when none is given) and its office
    // suite.
    struct Factories {
        PasswordEncryptionThread::NotifierFactory notifier;
        PasswordEncryptionThread::AutomationFactory automation;
    };

    explicit PublishingJobs(Factories factories, QObject* parent = nullptr);
    // Waits for the jobs still running, as waitUntilAllEnded does.
    ~PublishingJobs() override;

    // The window that the notifiers stand above and that comes back to the front when a job's
    // office sessions end; it may go before the jobs do.
    void setMainWindow(QWidget* window) { m_mainWindow = window; }

    void startJob(const LinkedList& paths, int32_t command, std::function<void()> ended) override;

    // From any thread: a job's office sessions have ended, so the main window comes back to the
    // front, on the GUI thread.
    void sessionEnded();

    // The jobs that have not ended yet.
    int count() const { return static_cast<int>(m_jobs.size()); }
    // Lets the GUI thread go on with its events (the notifiers' windows, the jobs' queued calls)
    // until every job has ended and its thread is gone.
    void waitUntilAllEnded();

signals:
    // The last running job has ended and been joined.
    void allEnded();

private:
    class Job;

    void jobEnded(Job* job);
    void bringMainWindowToFront();

    Factories m_factories;
    QPointer<QWidget> m_mainWindow;
    std::vector<std::unique_ptr<Job>> m_jobs;
};
