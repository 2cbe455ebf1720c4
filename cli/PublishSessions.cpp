#include "cli/PublishSessions.h"

#include "cli/PublishTerminal.h"
#include "cli/TerminalNotifier.h"
#include "foundation/LinkedList.h"
#include "foundation/String.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "platform/InterruptWatcher.h"
#include "publishing/PasswordEncryptionThread.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

namespace {

// What the sessions' offices have to say to the user (no sandbox here, an office that cannot
// start) goes to standard error, each text once for the whole run however many sessions meet it.
class Notices {
public:
    void tell(const std::string& text)
    {
        std::lock_guard lock(m_mutex);
        if (m_told.insert(text).second)
            std::fprintf(stderr, "pressling-cli: %s\n", text.c_str());
    }

private:
    std::mutex m_mutex;
    std::set<std::string> m_told;
};

// A terminal has no window to bring forward and learns of each job's end by joining it, so the
// job needs no observer.
std::unique_ptr<PasswordEncryptionThread> makeJob(int32_t command, const std::vector<size_t>& share,
    const std::shared_ptr<PublishTerminal>& terminal, const std::shared_ptr<Notices>& notices,
    std::optional<int> pdfArchivePart)
{
    LinkedList list;
    for (size_t index : share)
        list.addLast(std::make_unique<String>(terminal->documents()[index].c_str()));
    auto job = std::make_unique<PasswordEncryptionThread>(
        nullptr, list, command,
        [terminal, share, command] { return std::make_unique<TerminalNotifier>(terminal, share, command); },
        [notices, pdfArchivePart] {
            auto automation = std::make_unique<office::LibreOfficeAutomation>();
            automation->setNoticeReceiver([notices](const std::string& text) { notices->tell(text); });
            if (pdfArchivePart)
                automation->setPdfArchivePart(*pdfArchivePart);
            return automation;
        });
    return job;
}

}

std::vector<std::vector<size_t>> PublishSessions::handOut(size_t count, size_t sessions)
{
    std::vector<std::vector<size_t>> shares(std::min(count, std::max<size_t>(sessions, 1)));
    for (size_t index = 0; index < count; ++index)
        shares[index % shares.size()].push_back(index);
    return shares;
}

void PublishSessions::run(int32_t command, size_t sessions, const std::shared_ptr<PublishTerminal>& terminal,
    std::optional<int> pdfArchivePart)
{
    // The XPS writer reads and writes images with Qt, which wants an application object.
    int argc = 1;
    char name[] = "pressling-cli";
    char* argv[] = { name, nullptr };
    QCoreApplication application(argc, argv);
    const std::vector<std::vector<size_t>> shares = handOut(terminal->documents().size(), sessions);
    // Every job is made before the watcher starts, so that a Ctrl-C finds all of them.
    std::vector<std::unique_ptr<PasswordEncryptionThread>> jobs;
    auto notices = std::make_shared<Notices>();
    for (const std::vector<size_t>& share : shares)
        jobs.push_back(makeJob(command, share, terminal, notices, pdfArchivePart));
    {
        platform::InterruptWatcher interrupt([&jobs] {
            std::fprintf(stderr,
                "\npressling-cli: cancelling after the current document (interrupt again to stop at once)\n");
            for (const auto& job : jobs)
                job->requestStop();
        });
        for (const auto& job : jobs)
            job->start();
        for (const auto& job : jobs)
            job->join();
    }
    terminal->runEnded();
}
