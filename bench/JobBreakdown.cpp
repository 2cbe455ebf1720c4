#include "bench/JobBreakdown.h"

#include "bench/StepClock.h"
#include "bench/TimedAutomation.h"
#include "foundation/LinkedList.h"
#include "foundation/String.h"
#include "office/libreoffice/LibreOfficeInstallation.h"
#include "office/libreoffice/LibreOfficeAutomation.h"
#include "publishing/OfficeVersion.h"
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
    // The office the job runs is named to the registry scan as pressling-cli names it.
    OfficeVersion::setInstalledOffice(std::make_shared<office::LibreOfficeInstallation>());
    std::shared_ptr<StepClock> clock = result.officeCalls;
    std::shared_ptr<TimestampNotifier::Record> record = result.record;
    auto job = std::make_unique<PasswordEncryptionThread>(
        nullptr, list, ID_PUBLISH_AS_PDF, 1,
        [record, clock] { return std::make_unique<TimestampNotifier>(record, clock); },
        [clock] {
            return std::make_unique<TimedAutomation>(
                std::make_unique<office::LibreOfficeAutomation>(), clock);
        });
    auto started = std::chrono::steady_clock::now();
    job->start();
    job->join();
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // Only a job that is gone has let go of the clock and the record, which are read from here on.
    job.reset();
    return result;
}
