#include "cli/TerminalNotifier.h"

#include "cli/PublishTerminal.h"
#include "publishing/PublishFormat.h"

#include <string_view>

namespace {

// The path that a progress line "Publishing (2/5): '/a/b.docx'" names; empty for another text.
std::string pathOf(std::string_view progress)
{
    const std::string_view opening = "): '";
    const size_t open = progress.find(opening);
    if (progress.rfind("Publishing (", 0) != 0 || open == std::string_view::npos || progress.back() != '\'')
        return {};
    const size_t start = open + opening.size();
    return std::string(progress.substr(start, progress.size() - 1 - start));
}

}

TerminalNotifier::TerminalNotifier(std::shared_ptr<PublishTerminal> terminal, int32_t command)
    : m_terminal(std::move(terminal))
    , m_command(command)
{
}

void TerminalNotifier::create(std::function<void()>) { }

void TerminalNotifier::showProgress(const char* text)
{
    if (!text)
        return;
    m_started[pathOf(text)] = Clock::now();
    m_terminal->showProgress(text);
}

void TerminalNotifier::noteResultCode(const char* path, int32_t code)
{
    m_ended[path ? path : ""] = Ended { code, Clock::now() };
}

void TerminalNotifier::addResult(const char* path, const char* resultText, int32_t successMark)
{
    ResultRow row;
    row.path = path ? path : "";
    row.result = resultText ? resultText : "";
    row.succeeded = successMark != 0;
    Clock::time_point ended = Clock::now();
    if (auto found = m_ended.find(row.path); found != m_ended.end()) {
        row.code = found->second.code;
        ended = found->second.at;
        m_ended.erase(found);
    }
    const char* suffix = publishedSuffix(row.path.c_str(), m_command);
    if (row.succeeded && suffix)
        row.output = row.path + suffix;
    if (auto started = m_started.find(row.path); started != m_started.end()) {
        row.seconds = std::chrono::duration<double>(ended - started->second).count();
        m_started.erase(started);
    }
    m_terminal->addRow(row);
}

void TerminalNotifier::showSummary(const char*)
{
    m_terminal->runEnded();
}

void TerminalNotifier::showMessage(const char* caption, const char* text)
{
    m_terminal->showMessage(caption ? caption : "", text ? text : "");
}

void TerminalNotifier::waitForClose() { }

void TerminalNotifier::hide() { }

void TerminalNotifier::destroyWindow() { }
