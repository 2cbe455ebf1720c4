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
// one line per document otherwise), one "RESULT<TAB>PATH" row per document on standard output,
// in the order the job gives them (the order of the documents), and one summary line at the
// end. Each row also goes to the report, when there is one.
class PublishTerminal {
public:
    PublishTerminal(std::vector<std::string> documents, ResultReport* report);

    // The job's progress line for the document it starts ("Publishing (2/5): '/a/b.docx'").
    void showProgress(const std::string& text);
    void addRow(const ResultRow& row);
    void showMessage(const std::string& caption, const std::string& text);
    // The run is over: the summary, unless it is out already (a job whose notifier failed never
    // shows its own).
    void runEnded();

    const std::vector<std::string>& documents() const { return m_documents; }
    int succeeded() const;
    bool finished() const;

private:
    void clearProgressLine();

    mutable std::mutex m_mutex;
    const std::vector<std::string> m_documents;
    ResultReport* m_report;
    size_t m_started = 0;
    int m_succeeded = 0;
    bool m_finished = false;
    const bool m_terminal;
    bool m_progressShown = false;
};
