#include "bench/TimestampNotifier.h"

#include "bench/StepClock.h"

#include <cstdio>

TimestampNotifier::TimestampNotifier(std::shared_ptr<Record> record, std::shared_ptr<StepClock> clock)
    : m_record(std::move(record))
    , m_clock(std::move(clock))
{
}

void TimestampNotifier::create(std::function<void()>) { }

void TimestampNotifier::showProgress(const char* text)
{
    // The stamp comes first, so that the notifier's own work counts between documents.
    Clock::time_point now = Clock::now();
    // A null text only makes the notifier visible again: no new document.
    if (!text)
        return;
    m_record->progress.push_back(now);
    m_clock->beginDocument();
}

void TimestampNotifier::addResult(const char* path, const char* resultText, int32_t successMark)
{
    m_record->results.push_back(Clock::now());
    m_clock->endDocument();
    m_record->resultTexts.emplace_back(resultText ? resultText : "");
    if (successMark)
        ++m_record->succeeded;
    else
        std::fprintf(stderr, "PublishBenchmark: %s %s\n", resultText ? resultText : "", path ? path : "");
}

void TimestampNotifier::showSummary(const char*)
{
    m_record->summaryShown = true;
}

// A box would stop the job until someone dismissed it; here it only shows on standard error.
void TimestampNotifier::showMessage(const char* caption, const char* text)
{
    std::fprintf(stderr, "PublishBenchmark: %s: %s\n", caption ? caption : "", text ? text : "");
}

void TimestampNotifier::waitForClose() { }

void TimestampNotifier::hide() { }

void TimestampNotifier::destroyWindow() { }
