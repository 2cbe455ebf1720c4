#pragma once

#include <cstdint>
#include <functional>

// What a publishing job shows while it runs: a progress line, one result row per document and a
// summary, in a window (the desktop program) or on a terminal (pressling-cli). The job calls the
// operations in this order: create, showProgress and addResult per document, showSummary,
// waitForClose, hide, destroyWindow; showMessage comes in between whenever a publisher has to
// tell the user something.
class PublishingNotifier {
public:
    virtual ~PublishingNotifier() = default;

    // cancel asks the job to stop before its next document; a window calls it once the user has
    // confirmed Cancel, from any thread.
    virtual void create(std::function<void()> cancel) = 0;
    // A null text leaves the line as it is and only makes the notifier visible again.
    virtual void showProgress(const char* text) = 0;
    // successMark 1 for a success, 0 otherwise.
    virtual void addResult(const char* path, const char* resultText, int32_t successMark) = 0;
    // The result code of a document that was handed to the office (0 for a published one), as
    // soon as its publishing has ended; its row may come later, after the rows of the documents
    // before it. A window shows only the row; pressling-cli keeps the code and the time for its
    // report, where a batch system looks up why a document failed.
    virtual void noteResultCode(const char* path, int32_t code)
    {
        (void)path;
        (void)code;
    }
    // Shows the final line; a cancel is no longer possible afterwards.
    virtual void showSummary(const char* text) = 0;
    // Tells the user something that needs no answer but an OK, and returns once the user has
    // seen it (a window waits until its box is dismissed; a terminal only writes it).
    virtual void showMessage(const char* caption, const char* text) = 0;
    // Serves the job thread's messages until the user has closed the notifier.
    virtual void waitForClose() = 0;
    virtual void hide() = 0;
    virtual void destroyWindow() = 0;
};
