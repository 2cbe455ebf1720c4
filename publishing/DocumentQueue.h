#pragma once

#include "publishing/PublishingNotifier.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

class FailSafeNotifier;

// The documents of one job, shared by the office sessions that publish them side by side. Each
// session takes the next document of the list, so that the first documents are the first to be
// done and no session idles while another has documents waiting; its progress line is shown as
// it is taken. The sessions finish in any order, but the rows reach the notifier in the order of
// the documents: a row waits until every document before it has its row or is known to get none.
// Every call to the notifier goes through here under one lock, so that the sessions' threads
// never meet inside it; a session tells its messages through here too.
class DocumentQueue final : public PublishingNotifier {
public:
    struct Row {
        // "OK", "NG" or "SKIPPED".
        const char* result = "NG";
        int32_t mark = 0;
        // The publishing's result code, for a document that was handed to the office.
        std::optional<int32_t> code;
    };

    // paths: the job's list in order, null for a node without a path (it gets neither a
    // progress line nor a row, but counts in the numbering). notifier must outlive the queue.
    DocumentQueue(std::vector<const char*> paths, FailSafeNotifier& notifier);

    // The index of the next document, after its progress line "Publishing (%d/%d): '%s'" is
    // shown; nothing once every document was taken or stop is set.
    std::optional<size_t> take(const std::atomic<bool>& stop);
    const char* path(size_t index) const { return m_paths[index]; }
    // The outcome of a taken document: its row, or none (a document that is not published and
    // not counted, such as an XPS file).
    void settle(size_t index, std::optional<Row> row);
    // The documents taken but never settled (their session failed): each gets an "NG" row.
    void failUnsettled();

    // True once the notifier is gone: nobody can watch or cancel the job.
    bool notifierFailed();
    int32_t total() const { return static_cast<int32_t>(m_paths.size()); }
    int32_t succeeded();

    // The notifier's calls, one at a time.
    void create(std::function<void()> cancel) override;
    void showProgress(const char* text) override;
    void addResult(const char* path, const char* resultText, int32_t successMark) override;
    void noteResultCode(const char* path, int32_t code) override;
    void showSummary(const char* text) override;
    void showMessage(const char* caption, const char* text) override;
    void waitForClose() override;
    void hide() override;
    void destroyWindow() override;

private:
    enum class State { Waiting, Taken, Settled };

    void showRowsInOrder();

    std::mutex m_mutex;
    const std::vector<const char*> m_paths;
    FailSafeNotifier& m_notifier;
    std::vector<State> m_states;
    std::vector<std::optional<Row>> m_rows;
    size_t m_nextTaken = 0;
    size_t m_nextShown = 0;
    int32_t m_succeeded = 0;
};
