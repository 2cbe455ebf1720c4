#pragma once

#include "foundation/LinkedList.h"
#include "foundation/Thread.h"
#include "office/OfficeAutomation.h"
#include "publishing/PublishingNotifier.h"

#include <cstdint>
#include <functional>
#include <memory>

class OfficeApplication;

// One publishing job: on a thread of its own it publishes a list of documents in the format of
// one publish command, shows a row per document and a summary on its notifier, waits until the
// notifier is closed, tells the window that started it and destroys itself. The creator calls
// start once and never touches the object again.
class PasswordEncryptionThread : public Thread {
public:
    using NotifierFactory = std::function<std::unique_ptr<PublishingNotifier>()>;
    using AutomationFactory = std::function<std::unique_ptr<office::OfficeAutomation>()>;

    // window receives WM_PUBLISHING_DONE at the end (null: nobody). The paths are copied, so the
    // caller may destroy fileList at once. Both factories are called on the job's thread: the
    // desktop program passes its notifier window, pressling-cli a terminal one, and each job gets
    // an office suite of its own. Throws what Thread and LinkedList throw.
    PasswordEncryptionThread(void* window, const LinkedList& fileList, int32_t publishCommand,
        NotifierFactory notifierFactory, AutomationFactory automationFactory);
    ~PasswordEncryptionThread() override;

    void run() override;

private:
    struct Counts {
        int32_t word = 0;
        int32_t powerPoint = 0;
        int32_t excel = 0;
    };

    Counts countApplications() const;
    std::unique_ptr<OfficeApplication> openSession(const Counts& counts);
    // Takes every waiting message off the queue; true when one of them was a confirmed Cancel.
    bool drainMessages();
    // Adds the row of one path; true when it was published.
    bool publishOne(
        PublishingNotifier& notifier, OfficeApplication* session, bool office2007, const char* path);

    LinkedList m_fileList;
    int32_t m_publishCommand;
    NotifierFactory m_notifierFactory;
    AutomationFactory m_automationFactory;
};
