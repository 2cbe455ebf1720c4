#include "cli/PublishCommand.h"

#include "classify/EncryptedFileFinder.h"
#include "cli/ShellQuote.h"
#include "cli/TerminalNotifier.h"
#include "foundation/LinkedList.h"
#include "foundation/String.h"
#include "foundation/Thread.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "platform/InterruptWatcher.h"
#include "publishing/PasswordEncryptionThread.h"
#include "publishing/PublishFormat.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

namespace {

// Stands in for the file list window: it learns of the job's end from WM_PUBLISHING_DONE.
class JobEndReceiver : public QObject {
public:
    bool event(QEvent* event) override
    {
        if (event->type() != static_cast<QEvent::Type>(WM_PUBLISHING_DONE))
            return QObject::event(event);
        QCoreApplication::quit();
        return true;
    }
};

struct Arguments {
    int32_t command = 0;
    std::vector<std::string> paths;
};

bool parseArguments(const std::vector<std::string>& arguments, Arguments& out, std::string& error)
{
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string format;
        if (argument == "--format") {
            if (i + 1 >= arguments.size()) {
                error = "--format needs a value";
                return false;
            }
            format = arguments[++i];
        } else if (argument.rfind("--format=", 0) == 0) {
            format = argument.substr(9);
        } else if (argument == "--") {
            out.paths.insert(out.paths.end(), arguments.begin() + static_cast<long>(i) + 1, arguments.end());
            break;
        } else if (argument.size() > 1 && argument[0] == '-') {
            error = "unknown option '" + argument + "'";
            return false;
        } else {
            out.paths.push_back(argument);
            continue;
        }
        out.command = publishCommandForName(format.c_str());
        if (out.command == 0) {
            error = "unknown format '" + format + "'";
            return false;
        }
    }
    if (out.command == 0)
        error = "--format is missing";
    else if (out.paths.empty())
        error = "no document given";
    return error.empty();
}

// The same test the file list makes before it starts a job: protected documents are never
// handed to one.
void collectUnprotected(const std::vector<std::string>& paths, LinkedList& list)
{
    for (const std::string& given : paths) {
        std::error_code failure;
        std::string path = std::filesystem::absolute(given, failure).lexically_normal().string();
        if (failure)
            path = given;
        ProtectionKind kind = PROTECTION_NONE;
        if (EncryptedFileFinder().isEncryptedFile(path.c_str(), kind)) {
            std::fprintf(stderr, "pressling-cli: leaving out %s: protected (%s)\n",
                ShellQuote::printable(path).c_str(), kind == PROTECTION_IRM ? "IRM" : "PWD");
            continue;
        }
        list.addLast(std::make_unique<String>(path.c_str()));
    }
}

}

const char* PublishCommand::summary() const
{
    return "publish documents as HTML, web archive, text, Unicode text, XPS or PDF";
}

const char* PublishCommand::usage() const
{
    return "Usage: pressling-cli publish --format html|mhtml|text|unicode|xps|pdf PATH...\n\n"
           "Publishes every document beside itself under its full name with the format's suffix\n"
           "appended (report.docx gives report.docx.pdf). Documents protected by a password or by\n"
           "rights management are left out. Standard output gets one RESULT<TAB>PATH row per\n"
           "document (OK, NG or SKIPPED) and the summary line; progress goes to standard error.\n"
           "A path with a line end, a tab or another control character is printed in the shell's\n"
           "$'...' form, so that every row is one line.\n"
           "Ctrl-C (or SIGTERM) stops the job before the next document; a second one ends it at\n"
           "once, after putting back what it can.\n\n"
           "Exit status: 0 when every document is OK, 1 otherwise, 2 for a usage error, 130 (143)\n"
           "when a second Ctrl-C (SIGTERM) ended the job at once.\n";
}

int PublishCommand::run(const std::vector<std::string>& arguments)
{
    Arguments parsed;
    std::string error;
    if (!parseArguments(arguments, parsed, error)) {
        std::fprintf(stderr, "pressling-cli publish: %s\n\n%s", error.c_str(), usage());
        return 2;
    }
    LinkedList list;
    collectUnprotected(parsed.paths, list);
    const int32_t documents = list.getSize();
    if (documents == 0) {
        std::fprintf(stderr, "Encrypt: Please select unencrypted files by PWD.\n");
        return 1;
    }

    int argc = 1;
    char name[] = "pressling-cli";
    char* argv[] = { name, nullptr };
    QCoreApplication application(argc, argv);
    JobEndReceiver receiver;
    auto tally = std::make_shared<TerminalNotifier::Tally>();
    auto* job = new PasswordEncryptionThread(
        &receiver, list, parsed.command, [tally] { return std::make_unique<TerminalNotifier>(tally); },
        [] { return std::make_unique<office::LibreOfficeAutomation>(); });
    const uint32_t jobThread = job->getThreadId();
    list.clear();
    {
        platform::InterruptWatcher interrupt([jobThread] {
            std::fprintf(stderr,
                "\npressling-cli: cancelling after the current document (interrupt again to stop at once)\n");
            Thread::postThreadMessage(jobThread, WM_CANCEL_PUBLISHING, 0, 0);
        });
        job->start();
        QCoreApplication::exec();
    }
    // The job destroys itself right after its last message; its queue is gone once it has.
    while (Thread::postThreadMessage(jobThread, 0, 0, 0))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return tally->succeeded == documents ? 0 : 1;
}
