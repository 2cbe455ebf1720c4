#pragma once

#include "foundation/LinkedList.h"
#include "foundation/Thread.h"
#include "office/OfficeAutomation.h"
#include "publishing/DocumentQueue.h"
#include "publishing/PublishingNotifier.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class OfficeApplication;
class PublishingJobObserver;

// One publishing job: on a thread of its own it publishes a list of documents in the format of
// one publish command, shows a row per document and a summary on its notifier, waits until the
// notifier is closed and tells its observer. Its documents go through one or more office
// sessions side by side, each its own private office on a thread of its own; what the notifier
// shows is the same whatever their number. The creator keeps the object, calls start once and
// joins the job before destroying it. Whatever fails on the way, the job ends the same way: rows
// for every document, the summary, the notice to the observer.
class PasswordEncryptionThread : public Thread {
public:
    using NotifierFactory = std::function<std::unique_ptr<PublishingNotifier>()>;
    using AutomationFactory = std::function<std::unique_ptr<office::OfficeAutomation>()>;

    // observer (not owned, null: nobody) hears of the end of the job's sessions and of the job;
    // it must outlive the job. The paths are copied, so the caller may destroy fileList at once.
    // sessions: how many office sessions publish side by side, never more than the documents.
    // The notifier factory is called once on the job's thread (the desktop program passes its
    // notifier window, pressling-cli a terminal one), the automation factory once on each
    // session's thread, so that every session gets an office suite of its own. Throws what
    // Thread and LinkedList throw.
    PasswordEncryptionThread(PublishingJobObserver* observer, const LinkedList& fileList,
        int32_t publishCommand, size_t sessions, NotifierFactory notifierFactory,
        AutomationFactory automationFactory);
    ~PasswordEncryptionThread() override;

    void run() override;
    // From any thread: every session stops before its next document (a confirmed Cancel). The
    // documents in hand are finished first, so that none is left half published.
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
    // What the sessions of one run share besides the documents.
    struct Sessions;

    Counts countApplications() const;
    std::unique_ptr<OfficeApplication> openSession(const Counts& counts);
    void runSessions(DocumentQueue& queue);
    // One session: its office, then documents from the queue until none is left or a Cancel. A
    // session whose office cannot be set up leaves the documents to the others, unless it is the
    // last one; the last one fails every document it reaches.
    void runSession(DocumentQueue& queue, Sessions& sessions);
    void publishFrom(DocumentQueue& queue, OfficeApplication* session, bool office2007);
    // After a failure of the job itself: the documents not done fail as with a session that
    // could not be set up.
    void failTheRest(DocumentQueue& queue);
    void showEnd(DocumentQueue& queue);
    void tellObserver();
    // The row of one path, or none for an XPS file.
    std::optional<DocumentQueue::Row> publishOne(
        OfficeApplication* session, bool office2007, const char* path);

    PublishingJobObserver* m_observer;
    std::atomic<bool> m_stopRequested { false };
    LinkedList m_fileList;
    int32_t m_publishCommand;
    size_t m_sessions;
    NotifierFactory m_notifierFactory;
    AutomationFactory m_automationFactory;
};
