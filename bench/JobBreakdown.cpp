#include "bench/JobBreakdown.h"

#include "bench/JobEndReceiver.h"
#include "bench/StepClock.h"
#include "bench/TimedAutomation.h"
#include "foundation/LinkedList.h"
#include "foundation/String.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "publishing/PasswordEncryptionThread.h"
#include "publishing/PublishFormat.h"

#include <QCoreApplication>

#include <chrono>
#include <thread>

bool JobBreakdown::Result::allOk() const
{
    return record->summaryShown && record->results.size() == documents
        && record->succeeded == static_cast<int>(documents);
}

JobBreakdown::Result JobBreakdown::run(const std::vector<std::string>& paths)
{
    Result result;
    result.officeCalls = std::make_shared<StepClock>();
    result.record = std::make_shared<TimestampNotifier::Record>();
    result.documents = paths.size();
    LinkedList list;
    for (const std::string& path : paths)
        list.addLast(std::make_unique<String>(path.c_str()));

    int argc = 1;
    char name[] = "PublishBenchmark";
    char* argv[] = { name, nullptr };
    QCoreApplication application(argc, argv);
    JobEndReceiver receiver;
    std::shared_ptr<StepClock> clock = result.officeCalls;
    std::shared_ptr<TimestampNotifier::Record> record = result.record;
    auto* job = new PasswordEncryptionThread(
        &receiver, list, ID_PUBLISH_AS_PDF,
        [record, clock] { return std::make_unique<TimestampNotifier>(record, clock); },
        [clock] {
            return std::make_unique<TimedAutomation>(
                std::make_unique<office::LibreOfficeAutomation>(), clock);
        });
    const uint32_t jobThread = job->getThreadId();
    auto started = std::chrono::steady_clock::now();
    job->start();
    QCoreApplication::exec();
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // The job destroys itself right after its last message; only then has it let go of the clock
    // and the record, which are read from here on.
    while (Thread::postThreadMessage(jobThread, 0, 0, 0))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return result;
}
