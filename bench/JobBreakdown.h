#pragma once

#include "bench/TimestampNotifier.h"

#include <memory>
#include <string>
#include <vector>

class StepClock;

// The real publishing job over a list of Word documents to PDF, run in this process as
// pressling-cli runs it (a job thread, its end posted to a receiver, an event loop waiting for
// it), with Word's calls timed per document and the notifier noting when each document starts and
// ends. The job is not changed in any way: only what it is given to talk to is timed.
class JobBreakdown {
public:
    struct Result {
        std::shared_ptr<StepClock> officeCalls;
        std::shared_ptr<TimestampNotifier::Record> record;
        size_t documents = 0;
        double seconds = 0;
        // Every document has its row, every row is OK and the summary was shown.
        bool allOk() const;
    };

    static Result run(const std::vector<std::string>& paths);
};
