#pragma once

#include "filelist/PublishJobStarter.h"
#include "publishing/PasswordEncryptionThread.h"

class FileListView;

// Starts each publishing job with the list's own relay window as the receiver of its end, and
// counts it among the running jobs, so that the program waits for it before it ends.
class RelayJobStarter final : public PublishJobStarter {
public:
    // How each job gets its notifier (the notifier window when none is given) and its office suite.
    struct JobFactories {
        PasswordEncryptionThread::NotifierFactory notifier;
        PasswordEncryptionThread::AutomationFactory automation;
    };

    RelayJobStarter(FileListView* list, JobFactories factories);
    // Lets the relays of jobs still running live on without the list.
    ~RelayJobStarter() override;
    RelayJobStarter(const RelayJobStarter&) = delete;
    RelayJobStarter& operator=(const RelayJobStarter&) = delete;

    void startJob(const LinkedList& paths, int32_t command, std::function<void()> ended) override;

private:
    FileListView* m_list;
    JobFactories m_factories;
};
