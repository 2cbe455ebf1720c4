#pragma once

#include "publishing/PublishingNotifier.h"

#include <atomic>
#include <memory>

// The notifier of pressling-cli: progress on standard error (a bar that redraws itself when
// standard error is a terminal, one line per document otherwise), one "RESULT<TAB>PATH" row per
// document and the summary on standard output, for scripts to read. Nothing on a terminal is
// left to close, so waiting for the close returns at once.
class TerminalNotifier final : public PublishingNotifier {
public:
    // What the command learns from the job through its notifier.
    struct Tally {
        std::atomic<int> rows { 0 };
        std::atomic<int> succeeded { 0 };
        std::atomic<bool> finished { false };
    };

    explicit TerminalNotifier(std::shared_ptr<Tally> tally);

    void create(void* owner, uint32_t jobThread) override;
    void showProgress(const char* text) override;
    void addResult(const char* path, const char* resultText, int32_t successMark) override;
    void showSummary(const char* text) override;
    void showMessage(const char* caption, const char* text) override;
    void waitForClose() override;
    void hide() override;
    void destroyWindow() override;

private:
    void clearProgressLine();

    std::shared_ptr<Tally> m_tally;
    bool m_terminal = false;
    bool m_progressShown = false;
};
