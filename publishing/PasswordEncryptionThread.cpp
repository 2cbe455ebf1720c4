#include "publishing/PasswordEncryptionThread.h"

#include "classify/FileType.h"
#include "foundation/Log.h"
#include "foundation/String.h"
#include "foundation/VaultrixRegistry.h"
#include "publishing/CurrentExceptionText.h"
#include "publishing/FailSafeNotifier.h"
#include "publishing/OfficeApplication.h"
#include "publishing/PublishingJobObserver.h"
#include "publishing/PublishingSummary.h"

#include <cstdio>

PasswordEncryptionThread::PasswordEncryptionThread(PublishingJobObserver* observer,
    const LinkedList& fileList, int32_t publishCommand, NotifierFactory notifierFactory,
    AutomationFactory automationFactory)
    : m_observer(observer)
    , m_publishCommand(publishCommand)
    , m_notifierFactory(std::move(notifierFactory))
    , m_automationFactory(std::move(automationFactory))
{
    m_fileList.copyStrings(fileList);
}

PasswordEncryptionThread::~PasswordEncryptionThread() = default;

PasswordEncryptionThread::Counts PasswordEncryptionThread::countApplications() const
{
    static constexpr const char* wordSuffixes[] = { ".doc", ".docx", ".docm" };
    static constexpr const char* powerPointSuffixes[]
        = { ".ppt", ".pps", ".pptx", ".pptm", ".ppsx", ".ppsm" };
    static constexpr const char* excelSuffixes[] = { ".xls", ".xlsb", ".xlsx", ".xlsm" };
    auto matches = [](const char* path, const auto& suffixes) {
        for (const char* suffix : suffixes) {
            if (endsWith(path, suffix))
                return true;
        }
        return false;
    };
    Counts counts;
    for (Iterator* node = m_fileList.getHead(); node; node = node->getNext()) {
        auto* path = dynamic_cast<String*>(node->getElement());
        if (!path || path->isNull())
            continue;
        if (matches(path->getText(), wordSuffixes))
            ++counts.word;
        else if (matches(path->getText(), powerPointSuffixes))
            ++counts.powerPoint;
        else if (matches(path->getText(), excelSuffixes))
            ++counts.excel;
    }
    return counts;
}

// A session that cannot be set up fails the documents, not the job: the job still shows every
// row and its summary, tells its window and ends.
std::unique_ptr<OfficeApplication> PasswordEncryptionThread::openSession(const Counts& counts)
{
    try {
        std::unique_ptr<office::OfficeAutomation> automation
            = m_automationFactory ? m_automationFactory() : nullptr;
        return std::make_unique<OfficeApplication>(
            std::move(automation), counts.word, counts.powerPoint, counts.excel);
    } catch (...) {
        logError("PasswordEncryptionThread#run,1,Failed to start the office session %s",
            CurrentExceptionText().get());
    }
    return nullptr;
}

void PasswordEncryptionThread::readWorkingFolder() const
{
    String workingFolder;
    VaultrixRegistry().getWorkingFolder(workingFolder);
}

void PasswordEncryptionThread::publishAll(FailSafeNotifier& notifier, Progress& progress)
{
    // Without a notifier nobody could watch the job or cancel it, so no office is started.
    std::unique_ptr<OfficeApplication> session
        = notifier.failed() ? nullptr : openSession(countApplications());
    if (session) {
        session->setNotifier(&notifier);
        if (m_observer)
            session->setSessionEnded([observer = m_observer] { observer->sessionEnded(); });
    }
    const bool office2007 = session && session->isOffice2007Convertible();
    readWorkingFolder();
    publishFrom(notifier, session.get(), office2007, progress);
    // The session ends here, before the summary, also when a failure leaves early.
}

void PasswordEncryptionThread::publishFrom(
    FailSafeNotifier& notifier, OfficeApplication* session, bool office2007, Progress& progress)
{
    const int32_t total = m_fileList.getSize();
    for (; progress.node; progress.node = progress.node->getNext()) {
        if (m_stopRequested)
            return;
        auto* path = dynamic_cast<String*>(progress.node->getElement());
        if (path && !path->isNull()) {
            char line[1024];
            std::snprintf(
                line, sizeof line, "Publishing (%d/%d): '%s'", progress.handled + 1, total, path->getText());
            notifier.showProgress(line);
            if (publishOne(notifier, notifier.failed() ? nullptr : session, office2007, path->getText()))
                ++progress.succeeded;
        }
        // The next document starts at once: the notifier's window lives on the main thread and
        // needs nothing of this one, and a stop request is seen above before every
        // document. A fixed pause here would only add its length to every document of the job.
        ++progress.handled;
    }
}

void PasswordEncryptionThread::failTheRest(FailSafeNotifier& notifier, Progress& progress)
{
    try {
        publishFrom(notifier, nullptr, false, progress);
    } catch (...) {
        logError("PasswordEncryptionThread#run,4,Failed to show the remaining rows %s",
            CurrentExceptionText().get());
    }
}

bool PasswordEncryptionThread::publishOne(
    PublishingNotifier& notifier, OfficeApplication* session, bool office2007, const char* path)
{
    FileType fileType;
    if (fileType.isXpsFile(path))
        return false;
    if (!session) {
        notifier.addResult(path, "NG", 0);
        return false;
    }
    if (fileType.isOffice2007File(path) && !office2007) {
        notifier.addResult(path, "SKIPPED", 0);
        return false;
    }
    int32_t result = 1;
    try {
        result = session->protect(path, m_publishCommand);
    } catch (...) {
        // protect reports its failures as codes; anything else still costs this document only.
        logError("PasswordEncryptionThread#run,2,Exception %s %s", path, CurrentExceptionText().get());
    }
    notifier.noteResultCode(path, result);
    notifier.addResult(path, result == 0 ? "OK" : "NG", result == 0 ? 1 : 0);
    return result == 0;
}

void PasswordEncryptionThread::showEnd(FailSafeNotifier& notifier, const Progress& progress)
{
    const int32_t total = m_fileList.getSize();
    notifier.showSummary(publishingSummary(total, progress.succeeded).c_str());
    notifier.waitForClose();
    notifier.hide();
    notifier.destroyWindow();
}

void PasswordEncryptionThread::tellObserver()
{
    if (!m_observer)
        return;
    try {
        m_observer->jobEnded();
    } catch (...) {
        logError("PasswordEncryptionThread#run,5,Failed to tell the window %s", CurrentExceptionText().get());
    }
}

// Nothing may leave run: the thread would end without the summary and the notice to the
// observer. A failure of the job itself (its settings, its session, anything but a
// single document) is turned into what a session that cannot be set up gives.
void PasswordEncryptionThread::run()
{
    Progress progress { m_fileList.getHead() };
    {
        FailSafeNotifier notifier(m_notifierFactory);
        notifier.create([this] { requestStop(); });
        try {
            publishAll(notifier, progress);
        } catch (...) {
            logError("PasswordEncryptionThread#run,3,The job failed %s", CurrentExceptionText().get());
            failTheRest(notifier, progress);
        }
        showEnd(notifier, progress);
    }
    tellObserver();
}
