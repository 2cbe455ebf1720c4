#include "cli/TerminalNotifier.h"

#include "cli/ShellQuote.h"
#include "platform/InterruptWatcher.h"

#include <cstdio>
#include <string>

namespace {

constexpr int barWidth = 24;

std::string progressBar(int index, int total)
{
    int filled = total > 0 ? (index - 1) * barWidth / total : 0;
    return "[" + std::string(static_cast<size_t>(filled), '#')
        + std::string(static_cast<size_t>(barWidth - filled), '.') + "]";
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

TerminalNotifier::TerminalNotifier(std::shared_ptr<Tally> tally)
    : m_tally(std::move(tally))
    , m_terminal(platform::isTerminal(2))
{
}

void TerminalNotifier::create(void*, uint32_t) { }

void TerminalNotifier::showProgress(const char* text)
{
    if (!text)
        return;
    std::string line = printableProgress(text);
    if (!m_terminal) {
        std::fprintf(stderr, "%s\n", line.c_str());
        return;
    }
    int index = 0;
    int total = 0;
    std::sscanf(text, "Publishing (%d/%d)", &index, &total);
    // Carriage return and erase-line redraw the bar in place.
    std::fprintf(stderr, "\r\033[K%s %s", progressBar(index, total).c_str(), line.c_str());
    std::fflush(stderr);
    m_progressShown = true;
}

void TerminalNotifier::clearProgressLine()
{
    if (m_progressShown) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
        m_progressShown = false;
    }
}

void TerminalNotifier::addResult(const char* path, const char* resultText, int32_t successMark)
{
    clearProgressLine();
    std::fprintf(stdout, "%s\t%s\n", resultText, ShellQuote::printable(path ? path : "").c_str());
    std::fflush(stdout);
    ++m_tally->rows;
    if (successMark)
        ++m_tally->succeeded;
}

void TerminalNotifier::showSummary(const char* text)
{
    clearProgressLine();
    std::fprintf(stdout, "%s\n", text);
    std::fflush(stdout);
    m_tally->finished = true;
}

// One "Caption: text" line among the progress lines; nobody is there to dismiss a box, so the
// job goes on at once.
void TerminalNotifier::showMessage(const char* caption, const char* text)
{
    clearProgressLine();
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
}

void TerminalNotifier::waitForClose() { }

void TerminalNotifier::hide() { }

void TerminalNotifier::destroyWindow() { }
