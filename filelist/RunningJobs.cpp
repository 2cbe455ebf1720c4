#include "filelist/RunningJobs.h"

#include "foundation/Thread.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

std::vector<uint32_t>& jobThreads()
{
    static std::vector<uint32_t> threads;
    return threads;
}

// A job destroys itself as its last act, and its message queue goes with it; a queue that
// still takes a message means the job is there.
void forgetEndedJobs()
{
    auto& threads = jobThreads();
    std::erase_if(threads, [](uint32_t thread) { return !Thread::postThreadMessage(thread, 0, 0, 0); });
}

}

void RunningJobs::add(uint32_t jobThread)
{
    forgetEndedJobs();
    jobThreads().push_back(jobThread);
}

int RunningJobs::count()
{
    forgetEndedJobs();
    return static_cast<int>(jobThreads().size());
}

void RunningJobs::waitUntilAllEnded()
{
    if (count() == 0)
        return;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&loop] {
        if (count() == 0)
            loop.quit();
    });
    poll.start(50);
    loop.exec();
}
