#include "publishing/PasswordEncryptionThread.h"

#include "classify/FileType.h"
#include "foundation/Exception.h"
#include "foundation/Log.h"
#include "foundation/String.h"
#include "foundation/VaultrixRegistry.h"
#include "office/ComError.h"
#include "platform/WindowMessages.h"
#include "publishing/OfficeApplication.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

void pause10Milliseconds()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}

PasswordEncryptionThread::PasswordEncryptionThread(void* window, const LinkedList& fileList,
    int32_t publishCommand, NotifierFactory notifierFactory, AutomationFactory automationFactory)
    : Thread(window, 0, 0)
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
    } catch (const office::ComError& error) {
        // An office failure is an Exception too, so it must be caught first to be logged with
        // its result code.
        logError("PasswordEncryptionThread#run,1,Failed to start the office session hr=%x %s",
            static_cast<unsigned>(error.code()), error.errorMessage().c_str());
    } catch (const Exception& error) {
        logError("PasswordEncryptionThread#run,1,Failed to start the office session code=%d %s",
            error.getErrorCode(), error.getMessage());
    } catch (...) {
        logError("PasswordEncryptionThread#run,1,Failed to start the office session");
    }
    return nullptr;
}

bool PasswordEncryptionThread::drainMessages()
{
    ThreadMessage message;
    while (peekMessage(message, true)) {
        pause10Milliseconds();
        if (message.message == WM_CANCEL_PUBLISHING)
            return true;
    }
    return false;
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
        logError("PasswordEncryptionThread#run,2,Unknown Exception %s", path);
    }
    notifier.addResult(path, result == 0 ? "OK" : "NG", result == 0 ? 1 : 0);
    return result == 0;
}

void PasswordEncryptionThread::run()
{
    std::unique_ptr<PublishingNotifier> notifier = m_notifierFactory();
    notifier->create(getWindow(), getThreadId());
    const int32_t total = m_fileList.getSize();
    std::unique_ptr<OfficeApplication> session = openSession(countApplications());
    if (session)
        session->setNotifier(notifier.get());
    const bool office2007 = session && session->isOffice2007Convertible();
    {
        // Read for its side effect: a first run creates the default working folder.
        String workingFolder;
        VaultrixRegistry().getWorkingFolder(workingFolder);
    }

    int32_t index = 0;
    int32_t succeeded = 0;
    for (Iterator* node = m_fileList.getHead(); node; node = node->getNext()) {
        ++index;
        if (drainMessages())
            break;
        auto* path = dynamic_cast<String*>(node->getElement());
        if (path && !path->isNull()) {
            char progress[1024];
            std::snprintf(
                progress, sizeof progress, "Publishing (%d/%d): '%s'", index, total, path->getText());
            notifier->showProgress(progress);
            if (publishOne(*notifier, session.get(), office2007, path->getText()))
                ++succeeded;
        }
        if (node->getNext())
            pause10Milliseconds();
    }
    session.reset();

    char summary[1024];
    std::snprintf(summary, sizeof summary, "Publishing Result: Total=%d   Scucceeded=%d   Failed=%d", total,
        succeeded, total - succeeded);
    notifier->showSummary(summary);
    notifier->waitForClose();
    notifier->hide();
    notifier->destroyWindow();
    notifier.reset();
    platform::postWindowMessage(getWindow(), WM_PUBLISHING_DONE);
    delete this;
}
