#include "cli/PublishCommand.h"

#include "classify/EncryptedFileFinder.h"
#include "cli/DocumentListFile.h"
#include "cli/DocumentSet.h"
#include "cli/PublishArguments.h"
#include "cli/PublishTerminal.h"
#include "cli/ResultReport.h"
#include "cli/ShellQuote.h"
#include "cli/TerminalNotifier.h"
#include "foundation/LinkedList.h"
#include "foundation/String.h"
#include "foundation/TraceSink.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "platform/InterruptWatcher.h"
#include "publishing/PasswordEncryptionThread.h"
#include "publishing/PublishingSummary.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <set>

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

// Publishes the terminal's documents in one job with sessions office sessions side by side and
// returns when it has ended. A terminal has no window to bring forward and learns of the job's
// end by joining it, so the job needs no observer. Ctrl-C (or SIGTERM) asks every session to stop
// after its current document.
void publish(int32_t command, size_t sessions, const std::shared_ptr<PublishTerminal>& terminal,
    std::optional<int> pdfArchivePart)
{
    // The XPS writer reads and writes images with Qt, which wants an application object.
    int argc = 1;
    char name[] = "pressling-cli";
    char* argv[] = { name, nullptr };
    QCoreApplication application(argc, argv);
    LinkedList list;
    for (const std::string& path : terminal->documents())
        list.addLast(std::make_unique<String>(path.c_str()));
    auto notices = std::make_shared<Notices>();
    PasswordEncryptionThread job(
        nullptr, list, command, sessions,
        [terminal, command] { return std::make_unique<TerminalNotifier>(terminal, command); },
        [notices, pdfArchivePart] {
            auto automation = std::make_unique<office::LibreOfficeAutomation>();
            automation->setNoticeReceiver([notices](const std::string& text) { notices->tell(text); });
            if (pdfArchivePart)
                automation->setPdfArchivePart(*pdfArchivePart);
            return automation;
        });
    {
        platform::InterruptWatcher interrupt([&job] {
            std::fprintf(stderr,
                "\npressling-cli: cancelling after the current document (interrupt again to stop at once)\n");
            job.requestStop();
        });
        job.start();
        job.join();
    }
    terminal->runEnded();
}

// Every document of the run, from the command line and then the list, each once.
bool collectDocuments(const PublishArguments& arguments, DocumentSet& documents, std::string& error)
{
    std::vector<std::string> given = arguments.paths;
    if (!arguments.filesFrom.empty()
        && !DocumentListFile::read(arguments.filesFrom, arguments.nulSeparated, given, error))
        return false;
    for (const std::string& path : given) {
        if (!documents.add(path, error))
            return false;
    }
    return true;
}

std::vector<std::string> shardOf(const PublishArguments& arguments, const DocumentSet& documents)
{
    std::vector<std::string> paths;
    for (const std::string& path : documents.paths()) {
        if (!arguments.shard || arguments.shard->holds(path))
            paths.push_back(path);
    }
    return paths;
}

// The same test the file list makes before it starts a job: protected documents are never
// handed to one.
std::vector<std::string> unprotected(const std::vector<std::string>& paths)
{
    std::vector<std::string> kept;
    // Standard output holds the result rows alone.
    EncryptedFileFinder finder(TraceSink::writingTo(stderr));
    for (const std::string& path : paths) {
        ProtectionKind kind = PROTECTION_NONE;
        if (finder.isEncryptedFile(path.c_str(), kind)) {
            std::fprintf(stderr, "pressling-cli: leaving out %s: protected (%s)\n",
                ShellQuote::printable(path).c_str(), kind == PROTECTION_IRM ? "IRM" : "PWD");
            continue;
        }
        kept.push_back(path);
    }
    return kept;
}

bool prepare(const std::vector<std::string>& arguments, PublishArguments& parsed, DocumentSet& documents,
    ResultReport& report, std::string& error)
{
    if (!PublishArguments::parse(arguments, parsed, error) || !collectDocuments(parsed, documents, error))
        return false;
    if (parsed.reportPath.empty())
        return true;
    auto list = parsed.filesFrom.empty() || parsed.filesFrom == "-"
        ? std::nullopt
        : platform::FileIdentity::of(parsed.filesFrom);
    return report.open(parsed.reportPath, documents, list, error);
}

}

const char* PublishCommand::summary() const
{
    return "publish documents as HTML, web archive, text, Unicode text, XPS or PDF";
}

const char* PublishCommand::usage() const
{
    return "Usage: pressling-cli publish --format FORMAT [--pdf-a 1|2|3] [--jobs N]\n"
           "                            [--files-from LIST [-0]] [--shard I/N] [--report FILE]\n"
           "                            [PATH...]\n\n"
           "Publishes every document beside itself under its full name with the format's suffix\n"
           "appended (report.docx gives report.docx.pdf). Documents protected by a password or by\n"
           "rights management are left out. Standard output gets one RESULT<TAB>PATH row per\n"
           "document (OK, NG or SKIPPED) in the order of the documents, and the summary line;\n"
           "progress goes to standard error. A path with a line end, a tab or another control\n"
           "character is printed in the shell's $'...' form, so that every row is one line.\n\n"
           "Options:\n"
           "  --format FORMAT    html, mhtml, text, unicode, xps or pdf (required)\n"
           "  --pdf-a PART       with --format pdf: write PDF/A-1b, -2b or -3b (fonts embedded,\n"
           "                     nothing the part forbids), whatever the PdfArchive setting says\n"
           "  --jobs N           N office sessions side by side, each its own private office,\n"
           "                     the documents handed out in order (1 to 32, default 1)\n"
           "  --files-from LIST  also publish the paths in the file LIST, one per line (\"-\" reads\n"
           "                     standard input); relative paths start at the current folder\n"
           "  -0, --null         the paths in LIST end with a NUL byte instead of a line end\n"
           "  --shard I/N        publish only part I of N stable parts of the documents (I from 0\n"
           "                     to N-1): the part of a document depends on its absolute path only\n"
           "  --report FILE      write one JSON object per row to FILE (JSON Lines): path,\n"
           "                     result, code (the result code, or null), output (the published\n"
           "                     file, or null) and seconds\n\n"
           "A document may be named once only (also through a link). Ctrl-C (or SIGTERM) stops\n"
           "every session before its next document; a second one ends the run at once, after\n"
           "putting back what it can.\n\n"
           "Exit status: 0 when every document is OK (or the shard holds none), 1 otherwise, 2 for\n"
           "a usage error, 130 (143) when a second Ctrl-C (SIGTERM) ended the run at once.\n";
}

int PublishCommand::run(const std::vector<std::string>& arguments)
{
    PublishArguments parsed;
    DocumentSet documents;
    ResultReport report;
    std::string error;
    if (!prepare(arguments, parsed, documents, report, error)) {
        std::fprintf(stderr, "pressling-cli publish: %s\n\n%s", error.c_str(), usage());
        return 2;
    }
    std::vector<std::string> shard = shardOf(parsed, documents);
    if (shard.empty()) {
        std::fprintf(stderr, "pressling-cli: shard %s holds no document\n", parsed.shard->text().c_str());
        std::printf("%s\n", publishingSummary(0, 0).c_str());
        return 0;
    }
    std::vector<std::string> paths = unprotected(shard);
    if (paths.empty()) {
        std::fprintf(stderr, "Encrypt: Please select unencrypted files by PWD.\n");
        return 1;
    }
    const auto total = static_cast<int>(paths.size());
    auto terminal = std::make_shared<PublishTerminal>(std::move(paths), report.isOpen() ? &report : nullptr);
    publish(parsed.command, static_cast<size_t>(parsed.jobs), terminal, parsed.pdfArchivePart);
    return terminal->succeeded() == total && !report.failed() ? 0 : 1;
}
