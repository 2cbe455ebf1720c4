#pragma once

#include "cli/ResultRow.h"

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class ResultReport;

// What the terminal shows of one publish run, whatever number of sessions publish its
// documents: one progress line (a bar that redraws itself when standard error is a terminal,
// one line per document otherwise), one "RESULT<TAB>PATH" row per document on standard output in
// the order of the documents, and one summary line once every session has ended. Sessions finish
// documents in any order; a row waits until the rows of the documents before it are out (or
// those documents are known to get none). Each row also goes to the report, when there is one.
// Every call may come from any session's thread.
class PublishTerminal {
public:
    PublishTerminal(std::vector<std::string> documents, size_t sessions, ResultReport* report);

    // A session's progress line for the document it starts ("Publishing (2/5): '/a/b.docx'"),
    // renumbered over the whole run.
    void showProgress(const std::string& text);
    void addRow(size_t index, ResultRow row);
    // The document at index gets no row: its session passed over it, or stopped before it.
    void passOver(size_t index);
    void showMessage(const std::string& caption, const std::string& text);
    // One session is done; after the last one the summary follows.
    void sessionEnded();
    // Every job has ended: the summary, unless the sessions' ends brought it already (a session
    // whose notifier failed never says it ended).
    void runEnded();

    const std::vector<std::string>& documents() const { return m_documents; }
    int succeeded() const;
    bool finished() const;

    // The session's progress text with the run's numbers in place of its own.
    static std::string renumbered(const std::string& text, size_t index, size_t total);

private:
    void finish();
    void printReadyRows();
    void printRow(const ResultRow& row);
    void clearProgressLine();

    mutable std::mutex m_mutex;
    const std::vector<std::string> m_documents;
    size_t m_sessionsRunning;
    ResultReport* m_report;
    std::vector<std::optional<ResultRow>> m_rows;
    std::vector<bool> m_settled;
    size_t m_nextRow = 0;
    size_t m_started = 0;
    int m_succeeded = 0;
    bool m_finished = false;
    const bool m_terminal;
    bool m_progressShown = false;
};
