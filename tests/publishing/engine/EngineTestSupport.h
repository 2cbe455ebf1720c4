#pragma once

#include "ScriptedAutomation.h"
#include "publishing/PasswordEncryptionThread.h"
#include "tests/support/ReadFile.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TemporaryFolder.h"

#include <QObject>

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

// Stands in for the file list window: counts the WM_PUBLISHING_DONE events it receives.
class DoneReceiver : public QObject {
public:
    bool event(QEvent* event) override;
    std::atomic<int> done { 0 };
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
};

// Starts one job over paths for window (which owns the notifier's window and is told when the job
// is done); the job's end is counted on counters.
void startJob(const std::vector<std::string>& paths, int32_t command, JobSetup setup, QObject* window,
    JobCounters& counters);

// Starts the job and waits (serving the Qt events) until the window was told the job is done and
// the job is gone. Returns false when that did not happen in time.
bool runJobWithSetup(const std::vector<std::string>& paths, int32_t command, JobSetup setup,
    DoneReceiver& receiver, JobCounters& counters, int timeoutMilliseconds = 20000);

// Runs one job over paths with the scripted office and a recording notifier, and waits (serving
// the Qt events) until the window was told the job is done. Returns false when it never was.
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
