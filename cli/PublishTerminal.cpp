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

PublishTerminal::PublishTerminal(std::vector<std::string> documents, ResultReport* report)
    : m_documents(std::move(documents))
    , m_report(report)
    , m_terminal(platform::isTerminal(2))
{
}

void PublishTerminal::showProgress(const std::string& text)
{
    std::lock_guard lock(m_mutex);
    ++m_started;
    std::string line = printableProgress(text);
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

void PublishTerminal::addRow(const ResultRow& row)
{
    std::lock_guard lock(m_mutex);
    if (m_finished)
        return;
    if (row.succeeded)
        ++m_succeeded;
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

void PublishTerminal::runEnded()
{
    std::lock_guard lock(m_mutex);
    if (m_finished)
        return;
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
