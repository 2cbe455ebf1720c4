#pragma once

#include "foundation/LinkedList.h"
#include "foundation/Thread.h"
#include "office/OfficeAutomation.h"
#include "publishing/PublishingNotifier.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class FailSafeNotifier;
class OfficeApplication;
class PublishingJobObserver;

// One publishing job: on a thread of its own it publishes a list of documents in the format of
// one publish command, shows a row per document and a summary on its notifier, waits until the
// notifier is closed and tells its observer. The creator keeps the object, calls start once and
// joins the job before destroying it. Whatever fails on the way, the job ends the same way: rows
// for every document, the summary, the notice to the observer.
class PasswordEncryptionThread : public Thread {
public:
    using NotifierFactory = std::function<std::unique_ptr<PublishingNotifier>()>;
    using AutomationFactory = std::function<std::unique_ptr<office::OfficeAutomation>()>;

    // observer (not owned, null: nobody) hears of the end of the job's session and of the job;
    // it must outlive the job. The paths are copied, so the caller may destroy fileList at once.
    // Both factories are called on the job's thread: the desktop program passes its notifier
    // window, pressling-cli a terminal one, and each job gets an office suite of its own. Throws
    // what Thread and LinkedList throw.
    PasswordEncryptionThread(PublishingJobObserver* observer, const LinkedList& fileList,
        int32_t publishCommand, NotifierFactory notifierFactory, AutomationFactory automationFactory);
    ~PasswordEncryptionThread() override;

    void run() override;
    // From any thread: the job stops before its next document (a confirmed Cancel). The document
    // in hand is finished first, so that it is never left half published.
    void requestStop() { m_stopRequested = true; }

protected:
    // Read for its side effect: a first run creates the default working folder. The settings
    // store reports its own failures as missing values, so that only running out of memory makes
    // this throw; a test stands in here for a store that does.
    virtual void readWorkingFolder() const;

private:
    struct Counts {
        int32_t word = 0;
        int32_t powerPoint = 0;
        int32_t excel = 0;
    };

    // How far the job has gone through its list: the node in hand, the nodes handled before it
    // and the documents published.
    struct Progress {
        Iterator* node = nullptr;
        int32_t handled = 0;
        int32_t succeeded = 0;
    };

    Counts countApplications() const;
    std::unique_ptr<OfficeApplication> openSession(const Counts& counts);
    void publishAll(FailSafeNotifier& notifier, Progress& progress);
    // Goes on from the node in hand to the end of the list or a confirmed Cancel. Without a
    // session (or a notifier) every document that is reached fails.
    void publishFrom(
        FailSafeNotifier& notifier, OfficeApplication* session, bool office2007, Progress& progress);
    // After a failure of the job itself: the documents not done fail as with a session that
    // could not be set up.
    void failTheRest(FailSafeNotifier& notifier, Progress& progress);
    void showEnd(FailSafeNotifier& notifier, const Progress& progress);
    void tellObserver();
    // Adds the row of one path; true when it was published.
    bool publishOne(
        PublishingNotifier& notifier, OfficeApplication* session, bool office2007, const char* path);

    PublishingJobObserver* m_observer;
    std::atomic<bool> m_stopRequested { false };
    LinkedList m_fileList;
    int32_t m_publishCommand;
    NotifierFactory m_notifierFactory;
    AutomationFactory m_automationFactory;
};
