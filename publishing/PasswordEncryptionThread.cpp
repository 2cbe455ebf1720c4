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

#include <algorithm>
#include <vector>

namespace {

// A session's thread: the job's own thread runs the first session, one of these each other one.
class SessionThread final : public Thread {
public:
    explicit SessionThread(std::function<void()> work)
        : m_work(std::move(work))
    {
    }
    void run() override { m_work(); }

private:
    std::function<void()> m_work;
};

}

struct PasswordEncryptionThread::Sessions {
    Counts counts;
    // The sessions that have not yet given up on their office.
    std::atomic<size_t> hopeful;
    std::atomic<bool> anyOpened { false };
    // A failure of the job itself on a session's thread: the rest is failed after the join.
    std::atomic<bool> failed { false };
};

PasswordEncryptionThread::PasswordEncryptionThread(PublishingJobObserver* observer,
    const LinkedList& fileList, int32_t publishCommand, size_t sessions, NotifierFactory notifierFactory,
    AutomationFactory automationFactory)
    : m_observer(observer)
    , m_publishCommand(publishCommand)
    , m_sessions(sessions)
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

void PasswordEncryptionThread::runSessions(DocumentQueue& queue)
{
    Sessions sessions;
    sessions.counts = countApplications();
    // No more sessions than documents: an office without a document would only cost its start.
    const size_t count = std::max<size_t>(1, std::min<size_t>(m_sessions, m_fileList.getSize()));
    auto guarded = [this, &queue, &sessions] {
        try {
            runSession(queue, sessions);
        } catch (...) {
            logError("PasswordEncryptionThread#run,3,The job failed %s", CurrentExceptionText().get());
            sessions.failed = true;
        }
    };
    // The threads are made held back, and started only once they are all there: a thread that
    // cannot be made costs its session, and the others know how many they are.
    std::vector<std::unique_ptr<SessionThread>> others;
    try {
        while (others.size() + 1 < count)
            others.push_back(std::make_unique<SessionThread>(guarded));
    } catch (...) {
        logError("PasswordEncryptionThread#run,6,%zu office sessions instead of %zu %s", others.size() + 1,
            count, CurrentExceptionText().get());
    }
    sessions.hopeful = others.size() + 1;
    for (const auto& other : others)
        other->start();
    guarded();
    for (const auto& other : others)
        other->join();
    // Every office has quit: the user is brought back to where the job was started, once.
    if (sessions.anyOpened && m_observer)
        m_observer->sessionEnded();
    if (sessions.failed)
        failTheRest(queue);
}

void PasswordEncryptionThread::runSession(DocumentQueue& queue, Sessions& sessions)
{
    // Without a notifier nobody could watch the job or cancel it, so no office is started.
    std::unique_ptr<OfficeApplication> session
        = queue.notifierFailed() ? nullptr : openSession(sessions.counts);
    if (!session && --sessions.hopeful > 0)
        return;
    if (session) {
        sessions.anyOpened = true;
        session->setNotifier(&queue);
    }
    publishFrom(queue, session.get(), session && session->isOffice2007Convertible());
    // The session ends here, before the summary, also when a failure leaves early.
}

void PasswordEncryptionThread::publishFrom(DocumentQueue& queue, OfficeApplication* session, bool office2007)
{
    // The next document starts at once: the notifier's window lives on the main thread and needs
    // nothing of this one, and a stop request is seen before every document. A fixed pause here
    // would only add its length to every document of the job.
    while (std::optional<size_t> index = queue.take(m_stopRequested)) {
        const char* path = queue.path(*index);
        queue.settle(*index, publishOne(queue.notifierFailed() ? nullptr : session, office2007, path));
    }
}

void PasswordEncryptionThread::failTheRest(DocumentQueue& queue)
{
    try {
        queue.failUnsettled();
        publishFrom(queue, nullptr, false);
    } catch (...) {
        logError("PasswordEncryptionThread#run,4,Failed to show the remaining rows %s",
            CurrentExceptionText().get());
    }
}

std::optional<DocumentQueue::Row> PasswordEncryptionThread::publishOne(
    OfficeApplication* session, bool office2007, const char* path)
{
    FileType fileType;
    if (fileType.isXpsFile(path))
        return std::nullopt;
    if (!session)
        return DocumentQueue::Row { "NG", 0, std::nullopt };
    if (fileType.isOffice2007File(path) && !office2007)
        return DocumentQueue::Row { "SKIPPED", 0, std::nullopt };
    int32_t result = 1;
    try {
        result = session->protect(path, m_publishCommand);
    } catch (...) {
        // protect reports its failures as codes; anything else still costs this document only.
        logError("PasswordEncryptionThread#run,2,Exception %s %s", path, CurrentExceptionText().get());
    }
    return DocumentQueue::Row { result == 0 ? "OK" : "NG", result == 0 ? 1 : 0, result };
}

void PasswordEncryptionThread::showEnd(DocumentQueue& queue)
{
    queue.showSummary(publishingSummary(queue.total(), queue.succeeded()).c_str());
    queue.waitForClose();
    queue.hide();
    queue.destroyWindow();
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
// observer. A failure of the job itself (its settings, its sessions, anything but a single
// document) is turned into what a session that cannot be set up gives.
void PasswordEncryptionThread::run()
{
    {
        FailSafeNotifier notifier(m_notifierFactory);
        std::vector<const char*> paths;
        for (Iterator* node = m_fileList.getHead(); node; node = node->getNext()) {
            auto* path = dynamic_cast<String*>(node->getElement());
            paths.push_back(path && !path->isNull() ? path->getText() : nullptr);
        }
        DocumentQueue queue(std::move(paths), notifier);
        queue.create([this] { requestStop(); });
        try {
            readWorkingFolder();
            runSessions(queue);
        } catch (...) {
            logError("PasswordEncryptionThread#run,3,The job failed %s", CurrentExceptionText().get());
            failTheRest(queue);
        }
        showEnd(queue);
    }
    tellObserver();
}
