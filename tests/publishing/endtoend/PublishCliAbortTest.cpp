// A user who will not wait: a second Ctrl-C or termination request ends pressling-cli at once.
#include "EndToEndSupport.h"
#include "EngineTestSupport.h"

#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

using platform::ChildProcess;
using namespace std::chrono_literals;

// Catches a second signal that is taken like the first, so that the job goes on to the end of
// a document that may keep it busy for good, and an exit status other than the shell's 128 +
// signal. The job is kept busy with many documents and signalled in the middle of the first.
TEST(PublishCliAbort, SecondSignalEndsTheJobAtOnce)
{
    for (auto [signal, status] : { std::pair { SIGTERM, 143 }, std::pair { SIGINT, 130 } }) {
        TestRegistry registry;
        TemporaryFolder folder;
        std::vector<std::string> argv = { PRESSLING_CLI_PATH, "publish", "--format", "pdf" };
        std::vector<DocumentSnapshot> before;
        for (int i = 0; i < 12; ++i) {
            argv.push_back(copyCorpusDocument(
                "word/having-images.docx", folder.path(), "d" + std::to_string(i) + ".docx"));
            before.push_back(DocumentSnapshot::of(argv.back()));
        }
        ChildProcess::Options options = cliOptions(registry.folder().path());
        ChildProcess run;
        ASSERT_TRUE(run.start(argv, options));
        while (run.isRunning() && backupsIn(folder.path()).empty())
            std::this_thread::sleep_for(2ms);
        ::kill(run.pid(), signal);
        // The first signal is seen (and only asks to cancel) before the second is sent, so that
        // the two are not merged into one pending signal.
        for (int wait = 0; wait < 500 && run.isRunning()
             && run.standardError().find("cancelling after the current document") == std::string::npos;
             ++wait)
            run.waitFor(10ms);
        ASSERT_TRUE(run.isRunning()) << "the first signal ended the job: " << run.standardError();
        ::kill(run.pid(), signal);
        ChildProcess::Status ended = run.waitFor(20s);
        EXPECT_EQ(ended.outcome, ChildProcess::Outcome::Exited) << signal;
        EXPECT_EQ(ended.exitCode, status) << signal << ": " << run.standardOutput() << run.standardError();
        // What the office layer puts back is its own affair; an office left by a job that could
        // not put it back is ended here, so that the test leaves nothing running.
        killOfficesOf(run.pid());
        for (const DocumentSnapshot& document : before)
            EXPECT_TRUE(document.unchanged()) << document.path;
        for (const std::string& backup : backupsIn(folder.path())) {
            std::string source = folder.file(backup.substr(0, backup.find(".{")));
            EXPECT_EQ(readFile(folder.file(backup)), readFile(source)) << backup;
        }
    }
}
