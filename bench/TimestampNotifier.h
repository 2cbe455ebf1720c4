#pragma once

#include "publishing/PublishingNotifier.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

class StepClock;

// The notifier of the breakdown: it shows nothing and notes when the job shows each progress line
// and each result row, so that the time of each document (its progress line to its row) and the
// time between documents (a row to the next progress line) are known. A progress line opens the
// document's slot in the step clock and its row closes it. Nobody is there to close it, so
// waiting for the close returns at once.
class TimestampNotifier final : public PublishingNotifier {
public:
    using Clock = std::chrono::steady_clock;

    // What the job showed, read once the job has ended.
    struct Record {
        std::vector<Clock::time_point> progress;
        std::vector<Clock::time_point> results;
        std::vector<std::string> resultTexts;
        int succeeded = 0;
        bool summaryShown = false;
    };

    TimestampNotifier(std::shared_ptr<Record> record, std::shared_ptr<StepClock> clock);

    void create(std::function<void()> cancel) override;
    void showProgress(const char* text) override;
    void addResult(const char* path, const char* resultText, int32_t successMark) override;
    void showSummary(const char* text) override;
    void showMessage(const char* caption, const char* text) override;
    void waitForClose() override;
    void hide() override;
    void destroyWindow() override;

private:
    std::shared_ptr<Record> m_record;
    std::shared_ptr<StepClock> m_clock;
};
