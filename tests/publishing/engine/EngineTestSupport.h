#pragma once

#include "ScriptedAutomation.h"
#include "publishing/PasswordEncryptionThread.h"
#include "publishing/PublishingJobObserver.h"
#include "tests/support/ReadFile.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The registry of a test: a fresh folder, optionally with an installed Office version and a
// macro security level, so that nothing reads the user's own settings.
class TestRegistry {
public:
    // version 0 writes no Office keys (the installed LibreOffice, which it names to the registry
    // scan as the program does, then stands in as version 16).
    explicit TestRegistry(int officeVersion = 0, const std::string& macroSecurityLevel = "");
    const TemporaryFolder& folder() const { return m_folder; }

private:
    TemporaryFolder m_folder;
    ScopedEnvironment m_environment;
};

// Stands in for whoever started the job: counts the job's ends and the ends of its sessions.
class DoneReceiver : public PublishingJobObserver {
public:
    void sessionEnded() override { ++sessionsEnded; }
    void jobEnded() override { ++done; }

    std::atomic<int> done { 0 };
    std::atomic<int> sessionsEnded { 0 };
};

// A job whose destruction a test can count.
struct JobCounters {
    std::atomic<int> destroyed { 0 };
};

// What a job is made with; a test may stand in for the settings store's read of the working
// folder, which the real store never lets fail.
struct JobSetup {
    PasswordEncryptionThread::NotifierFactory notifiers;
    PasswordEncryptionThread::AutomationFactory automations;
    std::function<void()> readWorkingFolder;
    size_t sessions = 1;
};

// Starts one job over paths that tells observer of its end; the job's destruction is counted on
// counters. The caller joins the job.
std::unique_ptr<PasswordEncryptionThread> startJob(const std::vector<std::string>& paths, int32_t command,
    JobSetup setup, PublishingJobObserver* observer, JobCounters& counters);

// Starts the job and waits (serving the Qt events) until the observer was told the job is done,
// then joins and destroys the job. Returns false when the job did not end in time.
bool runJobWithSetup(const std::vector<std::string>& paths, int32_t command, JobSetup setup,
    DoneReceiver& receiver, JobCounters& counters, int timeoutMilliseconds = 20000);

// Runs one job over paths with the scripted office and a recording notifier, and waits (serving
// the Qt events) until the observer was told the job is done. Returns false when it never was.
bool runJob(const std::vector<std::string>& paths, int32_t command,
    const std::shared_ptr<OfficeScript>& script, const std::shared_ptr<RecordingNotifier::Record>& record,
    DoneReceiver& receiver, JobCounters& counters, int timeoutMilliseconds = 20000);

// The same with any office, such as a real LibreOffice.
bool runJobWith(const std::vector<std::string>& paths, int32_t command,
    const std::function<std::unique_ptr<office::OfficeAutomation>()>& automations,
    const std::shared_ptr<RecordingNotifier::Record>& record, DoneReceiver& receiver, JobCounters& counters,
    int timeoutMilliseconds = 20000);

// Serves Qt events until condition holds or the time is up.
bool serveEventsUntil(const std::function<bool()>& condition, int timeoutMilliseconds);

std::vector<std::string> folderEntries(const std::string& folder);
