#include "EngineTestSupport.h"

#include "foundation/LinkedList.h"
#include "foundation/String.h"
#include "office/libreoffice/LibreOfficeInstallation.h"
#include "publishing/OfficeVersion.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

QCoreApplication& application()
{
    static int argc = 1;
    static char name[] = "test_engine";
    static char* argv[] = { name, nullptr };
    static QCoreApplication* instance
        = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    return instance ? *instance : *QCoreApplication::instance();
}

std::string registryText(
    int officeVersion, const std::string& macroSecurityLevel, const std::string& workingFolder)
{
    std::string text
        = "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Tarnwick\\Application\\Pressling\\Config]\n";
    // A working folder of its own, so that no test creates one in the real home folder.
    text += "\"WorkingFolder\"=\"" + workingFolder + "\"\n";
    if (!macroSecurityLevel.empty())
        text += "\"MacroSecurityLevel\"=" + macroSecurityLevel + "\n";
    if (officeVersion > 0)
        text += "\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" + std::to_string(officeVersion)
            + ".0\\Word]\n\"WordName\"=\"WINWORD.EXE\"\n";
    return text;
}

class CountedJob : public PasswordEncryptionThread {
public:
    CountedJob(PublishingJobObserver* observer, const LinkedList& list, int32_t command, JobSetup setup,
        JobCounters& counters)
        : PasswordEncryptionThread(
            observer, list, command, setup.sessions, std::move(setup.notifiers), std::move(setup.automations))
        , m_readWorkingFolder(std::move(setup.readWorkingFolder))
        , m_counters(counters)
    {
    }
    ~CountedJob() override { ++m_counters.destroyed; }

protected:
    void readWorkingFolder() const override
    {
        if (m_readWorkingFolder)
            m_readWorkingFolder();
        else
            PasswordEncryptionThread::readWorkingFolder();
    }

private:
    std::function<void()> m_readWorkingFolder;
    JobCounters& m_counters;
};

}

TestRegistry::TestRegistry(int officeVersion, const std::string& macroSecurityLevel)
    : m_environment("PRESSLING_REGISTRY_DIR", m_folder.path())
{
    OfficeVersion::setInstalledOffice(std::make_shared<office::LibreOfficeInstallation>());
    m_folder.write("working/.keep", "");
    m_folder.write("user.reg", registryText(officeVersion, macroSecurityLevel, m_folder.file("working")));
    if (officeVersion > 0)
        m_folder.write("machine.reg",
            "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Office\\" + std::to_string(officeVersion)
                + ".0\\Word\\InstallRoot]\n\"Path\"=\"C:\\\\Office\\\\\"\n");
}

bool serveEventsUntil(const std::function<bool()>& condition, int timeoutMilliseconds)
{
    application();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

bool runJob(const std::vector<std::string>& paths, int32_t command,
    const std::shared_ptr<OfficeScript>& script, const std::shared_ptr<RecordingNotifier::Record>& record,
    DoneReceiver& receiver, JobCounters& counters, int timeoutMilliseconds)
{
    return runJobWith(
        paths, command, [script] { return std::make_unique<ScriptedAutomation>(script); }, record, receiver,
        counters, timeoutMilliseconds);
}

bool runJobWith(const std::vector<std::string>& paths, int32_t command,
    const std::function<std::unique_ptr<office::OfficeAutomation>()>& automations,
    const std::shared_ptr<RecordingNotifier::Record>& record, DoneReceiver& receiver, JobCounters& counters,
    int timeoutMilliseconds)
{
    JobSetup setup;
    setup.notifiers = [record] { return std::make_unique<RecordingNotifier>(record); };
    setup.automations = automations;
    return runJobWithSetup(paths, command, std::move(setup), receiver, counters, timeoutMilliseconds);
}

std::unique_ptr<PasswordEncryptionThread> startJob(const std::vector<std::string>& paths, int32_t command,
    JobSetup setup, PublishingJobObserver* observer, JobCounters& counters)
{
    application();
    auto list = std::make_unique<LinkedList>();
    for (const std::string& path : paths)
        list->addLast(std::make_unique<String>(path.c_str()));
    auto job = std::make_unique<CountedJob>(observer, *list, command, std::move(setup), counters);
    // The caller's list goes at once; the job works on its own copy.
    list.reset();
    job->start();
    return job;
}

bool runJobWithSetup(const std::vector<std::string>& paths, int32_t command, JobSetup setup,
    DoneReceiver& receiver, JobCounters& counters, int timeoutMilliseconds)
{
    std::unique_ptr<PasswordEncryptionThread> job
        = startJob(paths, command, std::move(setup), &receiver, counters);
    if (!serveEventsUntil([&] { return receiver.done > 0; }, timeoutMilliseconds)) {
        // A job that is still running keeps its object; the test has failed already.
        job.release();
        return false;
    }
    job->join();
    job.reset();
    return true;
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
