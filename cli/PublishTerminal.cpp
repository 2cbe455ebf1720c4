#include "cli/PublishTerminal.h"

#include "cli/ResultReport.h"
#include "cli/ShellQuote.h"
#include "platform/Terminal.h"
#include "publishing/PublishingSummary.h"

#include <cstdio>

namespace {

constexpr int barWidth = 24;

std::string progressBar(size_t index, size_t total)
{
    size_t filled = total > 0 && index > 0 ? (index - 1) * barWidth / total : 0;
    return "[" + std::string(filled, '#') + std::string(barWidth - filled, '.') + "]";
}

// The job names the document in quotes at the end of its progress line ("Publishing (1/3):
// '/path'"). A name that needs the shell's form takes the place of the quoted one, so that the
// line stays one line; any other text that needs it is given that form as a whole.
std::string printableProgress(const std::string& text)
{
    if (!ShellQuote::needsQuoting(text))
        return text;
    const std::string opening = ": '";
    size_t open = text.find(opening);
    if (open == std::string::npos || text.size() < open + opening.size() + 1 || text.back() != '\'')
        return ShellQuote::printable(text);
    size_t start = open + opening.size();
    return text.substr(0, open) + ": " + ShellQuote::printable(text.substr(start, text.size() - 1 - start));
}

}

PublishTerminal::PublishTerminal(std::vector<std::string> documents, size_t sessions, ResultReport* report)
    : m_documents(std::move(documents))
    , m_sessionsRunning(sessions)
    , m_report(report)
    , m_rows(m_documents.size())
    , m_settled(m_documents.size(), false)
    , m_terminal(platform::isTerminal(2))
{
}

std::string PublishTerminal::renumbered(const std::string& text, size_t index, size_t total)
{
    const std::string opening = "Publishing (";
    const size_t close = text.find("): ");
    if (text.rfind(opening, 0) != 0 || close == std::string::npos)
        return text;
    return opening + std::to_string(index) + "/" + std::to_string(total) + text.substr(close);
}

void PublishTerminal::showProgress(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    ++m_started;
    std::string line = printableProgress(renumbered(text, m_started, m_documents.size()));
    if (!m_terminal) {
        std::fprintf(stderr, "%s\n", line.c_str());
        return;
    }
    // Carriage return and erase-line redraw the bar in place.
    std::fprintf(stderr, "\r\033[K%s %s", progressBar(m_started, m_documents.size()).c_str(), line.c_str());
    std::fflush(stderr);
    m_progressShown = true;
}

void PublishTerminal::clearProgressLine()
{
    if (m_progressShown) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
        m_progressShown = false;
    }
}

void PublishTerminal::addRow(size_t index, ResultRow row)
{
    std::lock_guard lock(m_mutex);
    if (index >= m_rows.size() || m_settled[index])
        return;
    if (row.succeeded)
        ++m_succeeded;
    m_rows[index] = std::move(row);
    m_settled[index] = true;
    printReadyRows();
}

void PublishTerminal::passOver(size_t index)
{
    std::lock_guard lock(m_mutex);
    if (index >= m_settled.size() || m_settled[index])
        return;
    m_settled[index] = true;
    printReadyRows();
}

void PublishTerminal::printReadyRows()
{
    for (; m_nextRow < m_settled.size() && m_settled[m_nextRow]; ++m_nextRow) {
        if (m_rows[m_nextRow]) {
            printRow(*m_rows[m_nextRow]);
            m_rows[m_nextRow].reset();
        }
    }
}

void PublishTerminal::printRow(const ResultRow& row)
{
    clearProgressLine();
    std::fprintf(stdout, "%s\t%s\n", row.result.c_str(), ShellQuote::printable(row.path).c_str());
    std::fflush(stdout);
    if (m_report)
        m_report->add(row);
}

// One "Caption: text" line among the progress lines; nobody is there to dismiss a box, so the
// session goes on at once.
void PublishTerminal::showMessage(const std::string& caption, const std::string& text)
{
    std::lock_guard lock(m_mutex);
    clearProgressLine();
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
}

void PublishTerminal::sessionEnded()
{
    std::lock_guard lock(m_mutex);
    if (m_sessionsRunning > 0 && --m_sessionsRunning == 0)
        finish();
}

void PublishTerminal::runEnded()
{
    std::lock_guard lock(m_mutex);
    finish();
}

void PublishTerminal::finish()
{
    if (m_finished)
        return;
    // Every session has said its last word: documents still without a row get none.
    m_settled.assign(m_settled.size(), true);
    printReadyRows();
    clearProgressLine();
    std::fprintf(
        stdout, "%s\n", publishingSummary(static_cast<int32_t>(m_documents.size()), m_succeeded).c_str());
    std::fflush(stdout);
    m_finished = true;
}

int PublishTerminal::succeeded() const
{
    std::lock_guard lock(m_mutex);
    return m_succeeded;
}

bool PublishTerminal::finished() const
{
    std::lock_guard lock(m_mutex);
    return m_finished;
}
