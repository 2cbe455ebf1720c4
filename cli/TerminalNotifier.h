#pragma once

#include "publishing/PublishingNotifier.h"

#include <chrono>
#include <map>
#include <memory>
#include <string>

class PublishTerminal;

// The notifier of a pressling-cli run: it hands what its job shows to the run's terminal, with
// the result code, the output and the time that the report wants beside each row. The job's
// sessions call it one at a time. Nothing on a terminal is left to close, so waiting for the
// close returns at once.
class TerminalNotifier final : public PublishingNotifier {
public:
    TerminalNotifier(std::shared_ptr<PublishTerminal> terminal, int32_t command);

    void create(std::function<void()> cancel) override;
    void showProgress(const char* text) override;
    void noteResultCode(const char* path, int32_t code) override;
    void addResult(const char* path, const char* resultText, int32_t successMark) override;
    void showSummary(const char* text) override;
    void showMessage(const char* caption, const char* text) override;
    void waitForClose() override;
    void hide() override;
    void destroyWindow() override;

private:
    std::shared_ptr<PublishTerminal> m_terminal;
    int32_t m_command;
    using Clock = std::chrono::steady_clock;
    struct Ended {
        int32_t code = 0;
        Clock::time_point at;
    };
    // When each document in hand was started, and how those that are done but still without a
    // row ended: with several sessions, several are.
    std::map<std::string, Clock::time_point> m_started;
    std::map<std::string, Ended> m_ended;
};
